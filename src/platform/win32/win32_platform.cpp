#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <cmath>

namespace platform::win32 {

// --- AnsiCodec

std::string AnsiCodec::ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  // Without WC_NO_BEST_FIT_CHARS a missing character would become a look-alike instead of
  // "?"; code pages that reject the flag (UTF-8) are converted without it.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  if (n == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  }
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring AnsiCodec::FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int in = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, out.data(), n);
  return out;
}

// --- Win32WindowSystem

namespace {
HWND H(Handle h) {
  return reinterpret_cast<HWND>(h);
}
Handle Of(HWND w) {
  return reinterpret_cast<Handle>(w);
}
}  // namespace

Handle Win32WindowSystem::FindTopLevel(const std::wstring& cls) {
  const std::string c = codec_.ToAnsi(cls);
  return Of(FindWindowA(c.c_str(), nullptr));
}

Handle Win32WindowSystem::FindChild(Handle parent, Handle child_after, const std::wstring& cls) {
  const std::string c = codec_.ToAnsi(cls);
  return Of(FindWindowExA(H(parent), H(child_after), c.c_str(), nullptr));
}

std::wstring Win32WindowSystem::GetTitle(Handle w, int max_count) {
  if (max_count <= 0) return {};
  std::string buffer(static_cast<std::size_t>(max_count), '\0');
  const int n = GetWindowTextA(H(w), buffer.data(), max_count);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return codec_.FromAnsi(buffer);
}

Delivery Win32WindowSystem::Send(Handle w, UINT msg, WPARAM wp, LPARAM lp) {
  if (w == 0) return Delivery::kDone;  // a message to no window has no effect
  DWORD_PTR result = 0;
  SetLastError(0);
  if (SendMessageTimeoutA(H(w), msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeout_ms_,
                          &result) != 0) {
    return Delivery::kDone;
  }
  // A window that went away meanwhile is not a hung client.
  const DWORD error = GetLastError();
  return (error == ERROR_TIMEOUT || (error == 0 && IsWindow(H(w)))) ? Delivery::kNoAnswer
                                                                    : Delivery::kDone;
}

Delivery Win32WindowSystem::SendText(Handle w, const std::wstring& text) {
  const std::string ansi = codec_.ToAnsi(text);  // NUL-terminated by std::string
  return Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}
Delivery Win32WindowSystem::SendChar(Handle w, unsigned code) {
  return Send(w, WM_CHAR, code, 0);
}
Delivery Win32WindowSystem::SendKeyDown(Handle w, unsigned vk) {
  return Send(w, WM_KEYDOWN, vk, 0);
}
Delivery Win32WindowSystem::SendKeyUp(Handle w, unsigned vk) {
  return Send(w, WM_KEYUP, vk, 0);
}
// A press and a release at the button's corner (0, 0): a standard button takes the pair
// as one click. wParam 13 is the Enter key's code, kept for the clients that look at it.
Delivery Win32WindowSystem::SendButtonDown(Handle w) {
  return Send(w, WM_LBUTTONDOWN, 13, 0);
}
Delivery Win32WindowSystem::SendButtonUp(Handle w) {
  return Send(w, WM_LBUTTONUP, 13, 0);
}

std::optional<std::uint32_t> Win32WindowSystem::GetExStyle(Handle w) {
  return static_cast<std::uint32_t>(GetWindowLongA(H(w), GWL_EXSTYLE));
}
bool Win32WindowSystem::SetExStyle(Handle w, std::uint32_t style) {
  SetLastError(0);
  return SetWindowLongA(H(w), GWL_EXSTYLE, static_cast<LONG>(style)) != 0 || GetLastError() == 0;
}
bool Win32WindowSystem::SetLayeredAlpha(Handle w, std::uint8_t alpha) {
  return SetLayeredWindowAttributes(H(w), 0, alpha, LWA_ALPHA) != 0;
}

// --- Win32EventPump

void Win32EventPump::RemoveDialogWindow(HWND w) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), w), dialogs_.end());
}

void Win32EventPump::Handle(MSG& msg) {
  for (HWND dialog : dialogs_) {
    if (msg.hwnd && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) &&
        IsDialogMessageW(dialog, &msg)) {
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int Win32EventPump::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Handle(msg);
  return static_cast<int>(msg.wParam);
}

void Win32EventPump::DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
    Handle(msg);
  }
}

void Win32EventPump::WaitAndDispatch(double max_seconds) {
  // Round up, so a wait never wakes just before its deadline and spins.
  const double ms = std::ceil(std::max(0.0, max_seconds) * 1000.0);
  const DWORD timeout = ms >= 4294967294.0 ? 4294967294u : static_cast<DWORD>(ms);
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DispatchPending();
}

// --- SteadyClock

double SteadyClock::NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// --- RegistrySettings

namespace {
std::wstring SectionPath(const std::wstring& app, const std::wstring& section) {
  return L"Software\\VB and VBA Program Settings\\" + app + L"\\" + section;
}
}  // namespace

std::wstring RegistrySettings::Get(const std::wstring& app, const std::wstring& section,
                                   const std::wstring& key) {
  const std::wstring path = SectionPath(app, section);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
      return {};
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ,
                                        nullptr, value.data(), &size);
    if (status == ERROR_MORE_DATA) continue;  // grew between the two reads
    if (status != ERROR_SUCCESS) return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
  }
  return {};
}

bool RegistrySettings::Save(const std::wstring& app, const std::wstring& section,
                            const std::wstring& key, const std::wstring& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(app, section).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  UniqueKey k(raw);
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(k.get(), key.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

// --- Win32FileOutput

std::wstring ErrorDescription(DWORD error) {
  LPWSTR text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring out = n && text ? std::wstring(text, n) : L"Unknown error";
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' ')) {
    out.pop_back();
  }
  return out;
}

std::optional<FileError> Win32FileOutput::WriteWhole(const std::wstring& path,
                                                     const std::string& bytes) {
  auto fail = [](DWORD error) { return FileError{error, ErrorDescription(error)}; };
  // Written beside the target first, so a failure leaves the old file as it was.
  const std::wstring temp = path + L".zurelo-new";
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    // The folder's own error (access denied, no such path) is the one the user needs.
    if (file.get() == INVALID_HANDLE_VALUE) return fail(GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        return fail(error);
      }
      done += written;
    }
    if (!FlushFileBuffers(file.get())) {
      const DWORD error = GetLastError();
      file.reset();
      DeleteFileW(temp.c_str());
      return fail(error);
    }
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    return fail(error);
  }
  return std::nullopt;
}

// --- Win32Launcher

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
