#include "platform/win32/window_system.h"

#include <algorithm>

namespace platform::win32 {

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
  // Wide, so the title comes as the player holds it and not as look-alikes in the code page.
  std::wstring buffer(static_cast<std::size_t>(max_count), L'\0');
  const int n = GetWindowTextW(H(w), buffer.data(), max_count);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return buffer;
}

Delivery Win32WindowSystem::Send(Handle w, UINT msg, WPARAM wp, LPARAM lp, Form form) {
  if (w == 0) return Delivery::kDone;  // a message to no window has no effect
  DWORD_PTR result = 0;
  SetLastError(0);
  const auto send = form == Form::kWide ? &SendMessageTimeoutW : &SendMessageTimeoutA;
  if (send(H(w), msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeout_ms_, &result) != 0) {
    return Delivery::kDone;
  }
  // A window that went away meanwhile is not a hung client.
  const DWORD error = GetLastError();
  return (error == ERROR_TIMEOUT || (error == 0 && IsWindow(H(w)))) ? Delivery::kNoAnswer
                                                                    : Delivery::kDone;
}

Delivery Win32WindowSystem::SendText(Handle w, const std::wstring& text) {
  // Sent wide: the window system hands the text as it is to a Unicode window
  // (IsWindowUnicode) and converts it to the ANSI code page for an ANSI one, exactly as it
  // converts every text an ANSI window receives.
  return Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), Form::kWide);
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
// as one click. To the button, wParam is the key flags of the mouse message: 13 reads as
// MK_LBUTTON | MK_SHIFT | MK_CONTROL, which a button ignores. 13 is sent because the chat
// clients have always been given the Enter key's code with a button activation.
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

}  // namespace platform::win32
