#include "platform/win32/launcher.h"

#include "platform/win32/handles.h"

namespace platform::win32 {

bool Win32Launcher::StartMinimized(const std::wstring& file_name) {
  std::wstring command = L"\"" + file_name + L"\"";  // CreateProcess may write into it
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return false;
  }
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  return true;
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"Zurelo.exe";
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace platform::win32
