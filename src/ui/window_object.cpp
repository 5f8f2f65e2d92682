#include "ui/window_object.h"

#include <string>

#include "platform/trace.h"

namespace ui {

LRESULT CALLBACK WindowObject::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->Handle(msg, wp, lp);
  } catch (...) {
    // A failing handler is skipped; nothing may unwind into the window system.
    platform::Trace(L"the handling of message " + std::to_wstring(msg) +
                    L" failed and was skipped");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
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

void WindowObject::Detach() {
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

}  // namespace ui
