// Start-up: the common controls, the platform, the main window and the message loop.

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "main/form1.h"
#include "settings/settings.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);

  auto platform = std::make_unique<zurelo::Platform>();
  platform->app_name = settings::AppNameFromPath(platform::win32::ExecutablePath());
  auto form1 = std::make_unique<zurelo::Form1>(*platform);
  if (!form1->Create(instance, show)) return 1;
  return platform->pump.Run();
}
