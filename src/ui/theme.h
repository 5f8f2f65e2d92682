#pragma once
// The look both windows share: Arial fonts at the screen's DPI, the grey background, the
// light grey faces of the "graphical" buttons and the black text boxes.

#include <windows.h>

#include "platform/win32/handles.h"
#include "ui/layout.h"

namespace ui {

inline constexpr COLORREF kGrey = RGB(128, 128, 128);
inline constexpr COLORREF kButtonFace = RGB(224, 224, 224);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

struct Fonts {
  platform::win32::UniqueFont arial_bold, arial, default_font;
  HFONT For(layout::Font f) const;
};
// Arial 8.25 pt bold and regular, and MS Sans Serif 8.25 pt, at the given DPI.
Fonts MakeFonts(int dpi);

struct Theme {
  explicit Theme(int dpi);
  Fonts fonts;
  platform::win32::UniqueBrush grey, face, black;
};

// Black text on the grey background, for the labels, frames and option buttons.
LRESULT GreyControlColors(WPARAM dc, const Theme& theme);
// A text box with the given text colour on black.
LRESULT BlackEditColors(WPARAM dc, COLORREF text, const Theme& theme);

// Paints an owner-drawn push button with a light grey face.
void DrawGraphicButton(const DRAWITEMSTRUCT& d, const Theme& theme);

}  // namespace ui
