#include "ui/window_object.h"

#include <string>

#include "platform/trace.h"

namespace ui {

WindowObject::~WindowObject() {
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

LRESULT CALLBACK WindowObject::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // The last message: the object lets go of the window, whatever it does with it.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->WindowGone();
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  try {
    if (self->RunCommand(msg, wp)) return 0;
    return self->Handle(msg, wp, lp);
  } catch (...) {
    // A failing handler is skipped; nothing may unwind into the window system.
    platform::Trace(L"the handling of message " + std::to_wstring(msg) +
                    L" failed and was skipped");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

namespace {

// Runs the handler bound to the key; false when none is.
template <typename Handlers, typename Key>
bool RunBound(const Handlers& handlers, Key key) {
  const auto it = handlers.find(key);
  if (it == handlers.end()) return false;
  it->second();
  return true;
}

}  // namespace

bool WindowObject::RunCommand(UINT msg, WPARAM wp) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) return RunBound(clicks_, LOWORD(wp));
  // The low four bits of a system command are the system's own.
  if (msg == WM_SYSCOMMAND) return RunBound(system_commands_, static_cast<unsigned>(wp & 0xFFF0));
  return false;
}

bool WindowObject::RegisterWindowClass(WNDCLASSEXW wc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) return true;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Procedure;
  return RegisterClassExW(&wc) != 0;
}

bool WindowObject::CreateTopLevel(HINSTANCE instance, const wchar_t* cls, const wchar_t* caption,
                                  DWORD style, DWORD ex_style, SIZE size) {
  // The object comes with WM_NCCREATE, which sets hwnd_.
  return CreateWindowExW(ex_style, cls, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                         size.cy, nullptr, nullptr, instance, this) != nullptr;
}

}  // namespace ui
