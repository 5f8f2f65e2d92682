#pragma once
// Window code shared by both windows: creating the controls of a layout table, the fonts,
// and drawing the light grey "graphical" buttons.

#include <windows.h>

#include <string>
#include <vector>

#include "main/layout.h"
#include "platform/win32/handles.h"

namespace controls {

inline constexpr COLORREF kGrey = RGB(128, 128, 128);
inline constexpr COLORREF kButtonFace = RGB(224, 224, 224);

struct Fonts {
  platform::win32::UniqueFont arial_bold, arial, default_font;
  HFONT For(layout::Font f) const;
};
// Arial 8.25 pt bold and regular, and MS Sans Serif 8.25 pt, at the given DPI.
Fonts MakeFonts(int dpi);

// The screen's DPI (96 unless the user scaled the display).
int ScreenDpi();

// Creates the table's controls as children of parent, in table order. Frames, labels and
// option buttons that begin a group get WS_GROUP; focusable controls get WS_TABSTOP.
void CreateAll(HWND parent, const std::vector<layout::Control>& table, int dpi, const Fonts& fonts);

// The window size whose client area is the given twips at dpi.
SIZE WindowSizeFor(int client_twips_w, int client_twips_h, int dpi, DWORD style, DWORD ex_style);

// Paints an owner-drawn push button with a light grey face.
void DrawGraphicButton(const DRAWITEMSTRUCT& d, HBRUSH face);

// The text of a control of one of our own windows.
std::wstring TextOf(HWND control);

// Black text on the grey background, for the labels, frames and option buttons.
LRESULT GreyControlColors(WPARAM dc, HBRUSH grey);

// A window that belongs to an object: the object is the creation parameter of
// CreateWindowEx, and Procedure hands it every message from WM_NCCREATE on.
class WindowObject {
 public:
  virtual ~WindowObject() = default;
  HWND hwnd() const { return hwnd_; }
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) = 0;
  HWND hwnd_ = nullptr;
};

}  // namespace controls

namespace controls {

// Keeps the keyboard focus on the control that had it when the window is activated again
// (windows that are not dialogs would otherwise put it on themselves). Returns true when
// the message was handled.
bool KeepFocus(HWND window, UINT msg, WPARAM wp, HWND& saved, int first_id);

}  // namespace controls
