#include "ui/form.h"

namespace ui {

LRESULT Form::HandleShared(UINT msg, WPARAM wp, LPARAM lp, const Theme& theme) {
  switch (msg) {
    case WM_ACTIVATE:
      return KeepFocus(wp);
    case DM_GETDEFID:
      return DefaultButton();
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return GreyControlColors(wp, theme);
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlType == ODT_BUTTON) DrawGraphicButton(d, theme);
      return TRUE;
    }
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
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
