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
  // Wide, so the title comes as the player holds it and not as look-alikes in the code page.
  std::wstring buffer(static_cast<std::size_t>(max_count), L'\0');
  const int n = GetWindowTextW(H(w), buffer.data(), max_count);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return buffer;
}

namespace {

// One message on its way, shared by the sender and the worker thread that sends it: a send
// given up on may still be running long after the sender has gone, or never end at all.
struct Outgoing {
  HWND target = nullptr;
  UINT msg = 0;
  WPARAM wp = 0;
  std::wstring text;  // a WM_SETTEXT's text
  bool has_text = false;
  HWND wake = nullptr;
  std::atomic<bool> done{false};
};

void Deliver(const Outgoing& out) {
  if (out.has_text) {
    // Sent wide: the window system hands the text as it is to a Unicode window
    // (IsWindowUnicode) and converts it to the ANSI code page for an ANSI one, exactly as
    // it converts every text an ANSI window receives.
    SendMessageW(out.target, out.msg, out.wp, reinterpret_cast<LPARAM>(out.text.c_str()));
  } else {
    SendMessageA(out.target, out.msg, out.wp, 0);
  }
}

void DeliverAndWake(std::shared_ptr<Outgoing> out) {
  Deliver(*out);
  out->done.store(true);
  // Set before the wake, so a wait that misses the wake (a modal loop inside it took the
  // message) still finds the flag when it looks again.
  if (out->wake) PostMessageW(out->wake, Win32EventPump::kWakeMessage, 0, 0);
}

// How often an outstanding send asks whether the client hung or went away.
constexpr double kCheckSeconds = 0.25;

}  // namespace

Delivery Win32WindowSystem::Send(Handle w, UINT msg, WPARAM wp, const std::wstring* text) {
  const HWND target = H(w);
  // A message to no window has no effect; a client already reported hung gets nothing
  // more, since the message could only queue up behind the hang.
  if (w == 0 || !IsWindow(target)) return Delivery::kDone;
  if (IsHungAppWindow(target)) return Delivery::kNoAnswer;

  auto out = std::make_shared<Outgoing>();
  out->target = target;
  out->msg = msg;
  out->wp = wp;
  if (text) {
    out->text = *text;
    out->has_text = true;
  }
  out->wake = pump_.WakeWindow();
  try {
    std::thread(DeliverAndWake, out).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the line is skipped rather than risk freezing the window on a
    // client that may never answer.
    return Delivery::kNoAnswer;
  }

  double next_check = clock_.NowSeconds() + kCheckSeconds;
  while (!out->done.load()) {
    const double now = clock_.NowSeconds();
    if (now >= next_check) {
      if (!IsWindow(target) || IsHungAppWindow(target)) return Delivery::kNoAnswer;
      next_check = now + kCheckSeconds;
    }
    pump_.WaitAndDispatch(next_check - now);
  }
  return Delivery::kDone;
}

Delivery Win32WindowSystem::SendText(Handle w, const std::wstring& text) {
  return Send(w, WM_SETTEXT, 0, &text);
}
Delivery Win32WindowSystem::SendChar(Handle w, unsigned code) {
  return Send(w, WM_CHAR, code);
}
Delivery Win32WindowSystem::SendKeyDown(Handle w, unsigned vk) {
  return Send(w, WM_KEYDOWN, vk);
}
Delivery Win32WindowSystem::SendKeyUp(Handle w, unsigned vk) {
  return Send(w, WM_KEYUP, vk);
}
// A press and a release at the button's corner (0, 0): a standard button takes the pair
// as one click. To the button, wParam is the key flags of the mouse message: 13 reads as
// MK_LBUTTON | MK_SHIFT | MK_CONTROL, which a button ignores. 13 is sent because the chat
// clients have always been given the Enter key's code with a button activation.
Delivery Win32WindowSystem::SendButtonDown(Handle w) {
  return Send(w, WM_LBUTTONDOWN, 13);
}
Delivery Win32WindowSystem::SendButtonUp(Handle w) {
  return Send(w, WM_LBUTTONUP, 13);
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
