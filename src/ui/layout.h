#pragma once
// A window's controls as a table in twips (1/1440 inch), and their conversion to pixels at
// the screen's DPI. Each window keeps its own table beside it.

namespace layout {

// kDisplay: a bordered one-line label, text centred on its whole width.
enum class Kind { kFrame, kButton, kGraphicButton, kOption, kLabel, kDisplay, kEdit, kList };
enum class Font { kArialBold, kArialRegular, kDefault };

struct Control {
  int id;
  Kind kind;
  const wchar_t* caption;
  int left, top, width, height;  // twips, relative to the client area
  Font font;
};

struct Rect {
  int left, top, width, height;
};

// Twips to pixels at dpi (96: 15 twips a pixel), rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);
Rect ToPixels(const Control& c, int dpi);

}  // namespace layout
