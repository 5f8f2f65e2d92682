#pragma once
// The controls of both windows as one table each, in twips (1/1440 inch), and their
// conversion to pixels at the screen's DPI.

#include <vector>

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

inline constexpr int kMainClientWidth = 3975;
inline constexpr int kMainClientHeight = 3825;
inline constexpr int kSettingsClientWidth = 4215;
inline constexpr int kSettingsClientHeight = 2175;

// In creation order, which is the tab order of the controls that take the focus. Controls
// inside a frame are placed relative to the client area (the frame's position added).
const std::vector<Control>& MainControls();
const std::vector<Control>& SettingsControls();

}  // namespace layout
