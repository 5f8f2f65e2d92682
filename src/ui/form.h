#pragma once
// A top-level window of ours that behaves like a dialog towards the keyboard and wears the
// shared grey look. Each window handles its own messages first and passes the rest here.

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/event_pump.h"
#include "ui/controls.h"
#include "ui/theme.h"
#include "ui/window_object.h"

namespace ui {

class Form : public WindowObject {
 protected:
  Form(int first_focus_id, platform::win32::Win32EventPump& pump)
      : first_focus_id_(first_focus_id), pump_(pump) {}

  // Once the window exists: its keyboard goes through the dialog manager.
  void JoinPump() { pump_.AddDialogWindow(hwnd_); }
  // As the window goes: out of the message loop's dialogs, the saved focus forgotten.
  void WindowGone() override;

  // What both windows do alike: the focus kept across activation, Enter on the focused
  // push button only, the grey controls and the graphical buttons. Anything else goes to
  // the default window procedure.
  LRESULT HandleShared(UINT msg, WPARAM wp, LPARAM lp);
  // A window of ours beside the main one (settings, formats): white text on black boxes and
  // lists on the grey, closed by its close box; the rest as HandleShared.
  LRESULT HandleSideWindow(UINT msg, WPARAM wp, LPARAM lp);
  // Brings an open side window up again, as it is (restored if minimised); false when it
  // is not open.
  bool BringUpAgain();
  // Makes a side window: its class, the theme (once), a client area of the layout's size at
  // the screen's dpi, its controls. No owner: the window system places it.
  bool CreateSideWindow(HINSTANCE instance, const wchar_t* cls, const wchar_t* caption, SIZE client,
                        const std::vector<layout::Control>& controls);
  // Forgets the focus saved when the window is closed.
  void ForgetFocus() { saved_focus_ = nullptr; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  OptionButton Option(int id) const { return OptionButton(Item(id)); }

  // The window's fonts and brushes, made with it at the screen's dpi.
  std::optional<Theme> theme_;

 private:
  LRESULT KeepFocus(WPARAM wp);
  LRESULT DefaultButton();

  int first_focus_id_;
  platform::win32::Win32EventPump& pump_;
  HWND saved_focus_ = nullptr;  // the control that had the focus when the window was left
};

}  // namespace ui
