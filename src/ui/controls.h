#pragma once
// Making a window's controls from its layout table, and small helpers for our own controls.

#include <windows.h>

#include <string>
#include <vector>

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

// The text of a control of one of our own windows.
std::wstring TextOf(HWND control);

}  // namespace ui
