#include "ui/form.h"

namespace ui {

LRESULT Form::HandleShared(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      return KeepFocus(wp);
    case DM_GETDEFID:
      return DefaultButton();
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return GreyControlColors(wp, *theme_);
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlType == ODT_BUTTON) DrawGraphicButton(d, *theme_);
      return TRUE;
    }
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

LRESULT Form::HandleSideWindow(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, theme_->grey.get());
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return BlackEditColors(wp, RGB(255, 255, 255), *theme_);
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    default:
      return HandleShared(msg, wp, lp);
  }
}

bool Form::BringUpAgain() {
  if (!hwnd_) return false;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  return true;
}

bool Form::CreateSideWindow(HINSTANCE instance, const wchar_t* cls, const wchar_t* caption,
                            SIZE client, const std::vector<layout::Control>& controls) {
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // painted in WM_ERASEBKGND with the grey brush
  wc.lpszClassName = cls;
  if (!RegisterWindowClass(wc)) return false;
  const int dpi = ScreenDpi();
  if (!theme_) theme_.emplace(dpi);
  const SIZE size = WindowSizeFor(client.cx, client.cy, dpi, kStyle, kExStyle);
  if (!CreateTopLevel(instance, cls, caption, kStyle, kExStyle, size)) return false;
  CreateAll(hwnd_, controls, dpi, theme_->fonts);
  return true;
}

void Form::WindowGone() {
  pump_.RemoveDialogWindow(hwnd_);
  ForgetFocus();
}

// Windows that are not dialogs would put the focus on themselves when activated again:
// the control that had it gets it back.
LRESULT Form::KeepFocus(WPARAM wp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) saved_focus_ = focus;
  } else {
    HWND target =
        saved_focus_ && IsChild(hwnd_, saved_focus_) ? saved_focus_ : Item(first_focus_id_);
    if (target) SetFocus(target);
  }
  return 0;
}

// No default button: Enter clicks the focused push button and nothing else, so Enter in
// a text box or on an option never fires a command.
LRESULT Form::DefaultButton() {
  HWND focus = GetFocus();
  if (!focus || !IsChild(hwnd_, focus)) return 0;
  const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, 0, 0);
  if ((code & (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) &&
      !(code & DLGC_RADIOBUTTON)) {
    return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
  }
  return 0;
}

}  // namespace ui
