// Start-up: the common controls, the platform parts, the main window and the message loop.

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "main/main_window.h"
#include "platform/trace.h"
#include "platform/win32/ansi_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/file_output.h"
#include "platform/win32/instance_claim.h"
#include "platform/win32/launcher.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/window_system.h"
#include "settings/app_name.h"
#include "settings/settings_model.h"

namespace {

// The real platform parts, made once and living as long as the program.
struct Platform {
  platform::win32::AnsiCodec codec;
  platform::win32::Win32EventPump pump;
  platform::win32::Win32WindowSystem windows{codec};
  platform::win32::SteadyClock clock;
  platform::win32::RegistrySettings store;
  platform::win32::Win32FileOutput files;
  platform::win32::Win32Launcher launcher;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // Settings are stored under the executable's base name, so a renamed copy keeps its own;
  // and one copy of that name runs per user: a second start brings it forward and ends,
  // before it has made or shown anything.
  const std::wstring app_name = settings::AppNameFromPath(platform::win32::ExecutablePath());
  platform::win32::Win32InstanceClaim claim(app_name);
  if (!claim.Take()) return 0;

  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  platform::SetTraceSink([](const std::wstring& line) { OutputDebugStringW(line.c_str()); });

  auto p = std::make_unique<Platform>();
  settings::SettingsModel model(p->store, app_name);
  const zurelo::Services services{p->windows, p->pump,  p->clock,    model,
                                  p->files,   p->codec, p->launcher, claim};
  auto main_window = std::make_unique<zurelo::MainWindow>(services);
  if (!main_window->Create(instance, show)) return 1;
  return p->pump.Run();
}
