#include "platform/win32/window_system.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

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
  std::string buffer(static_cast<std::size_t>(max_count), '\0');
  const int n = GetWindowTextA(H(w), buffer.data(), max_count);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return codec_.FromAnsi(buffer);
}

namespace {

// One message on its way, shared by the sender and the worker thread that sends it: a send
// given up on may still be running long after the sender has gone, or never end at all.
struct Outgoing {
  HWND target = nullptr;
  UINT msg = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  std::string text;  // a WM_SETTEXT's text, which lp then points into
  HWND wake = nullptr;
  std::atomic<bool> done{false};
};

void SendAndWake(std::shared_ptr<Outgoing> out) {
  SendMessageA(out->target, out->msg, out->wp, out->lp);
  out->done.store(true);
  // Set before the wake, so a wait that misses the wake (a modal loop inside it took the
  // message) still finds the flag when it looks again.
  if (out->wake) PostMessageW(out->wake, Win32EventPump::kWakeMessage, 0, 0);
}

// How often an outstanding send asks whether the client hung or went away.
constexpr double kCheckSeconds = 0.25;

}  // namespace

Delivery Win32WindowSystem::Send(Handle w, UINT msg, WPARAM wp, LPARAM lp) {
  const HWND target = H(w);
  // A message to no window has no effect; a client already reported hung gets nothing
  // more, since the message could only queue up behind the hang.
  if (w == 0 || !IsWindow(target)) return Delivery::kDone;
  if (IsHungAppWindow(target)) return Delivery::kNoAnswer;

  auto out = std::make_shared<Outgoing>();
  out->target = target;
  out->msg = msg;
  out->wp = wp;
  out->lp = lp;
  if (msg == WM_SETTEXT && lp != 0) {
    out->text = reinterpret_cast<const char*>(lp);
    out->lp = reinterpret_cast<LPARAM>(out->text.c_str());
  }
  out->wake = pump_.WakeWindow();
  try {
    std::thread(SendAndWake, out).detach();
  } catch (const std::system_error&) {
    // No thread to be had: send from here, as a plain blocking send would.
    SendMessageA(target, msg, wp, lp);
    return Delivery::kDone;
  }

  double next_check = GetTickCount64() / 1000.0 + kCheckSeconds;
  while (!out->done.load()) {
    const double now = GetTickCount64() / 1000.0;
    if (now >= next_check) {
      if (!IsWindow(target) || IsHungAppWindow(target)) return Delivery::kNoAnswer;
      next_check = now + kCheckSeconds;
    }
    pump_.WaitAndDispatch(next_check - now);
  }
  return Delivery::kDone;
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

}  // namespace platform::win32
