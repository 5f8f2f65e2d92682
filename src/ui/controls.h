#pragma once
// Making a window's controls from its layout table, and small helpers for our own controls.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/window_text.h"
#include "ui/layout.h"
#include "ui/theme.h"

namespace ui {

// The screen's DPI (96 unless the user scaled the display).
int ScreenDpi();

// Creates the table's controls as children of parent, in table order. Frames, labels and
// option buttons that begin a group get WS_GROUP; focusable controls get WS_TABSTOP.
void CreateAll(HWND parent, const std::vector<layout::Control>& table, int dpi, const Fonts& fonts);

// The window size whose client area is the given twips at dpi.
SIZE WindowSizeFor(int client_twips_w, int client_twips_h, int dpi, DWORD style, DWORD ex_style);

// A control's text (WM_GETTEXT), read as the tests and tools read any window's text.
using platform::win32::TextOf;

// An option button (or check box) of ours, by its state.
class OptionButton {
 public:
  explicit OptionButton(HWND w) : w_(w) {}
  bool IsChecked() const { return SendMessageW(w_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) const {
    SendMessageW(w_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  HWND w_;
};

}  // namespace ui
