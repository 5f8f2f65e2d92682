#include "main/main_layout.h"

#include "main/control_ids.h"

namespace layout {

namespace {
// Frames of the main window; the controls inside them add these offsets.
constexpr int kFrame4Left = 120, kFrame4Top = 1320;
constexpr int kFrame1Left = 2040, kFrame1Top = 1320;
constexpr int kFrame3Left = 120, kFrame3Top = 0;
}  // namespace

const std::vector<Control>& MainControls() {
  // Frames and the label take no focus; they come last so that they lie beneath the
  // controls they hold, and the focus order of the rest stays the window's tab order.
  static const std::vector<Control> controls = {
      {ids::kCommand1, Kind::kButton, L"Start Logging Songs", 5880, 3000, 1695, 375,
       Font::kDefault},
      {ids::kList1, Kind::kList, L"", 5040, -360, 2895, 2400, Font::kDefault},
      {ids::kCommand2, Kind::kButton, L"&Save Log", 4920, 2160, 975, 255, Font::kDefault},
      {ids::kCommand3, Kind::kButton, L"&Clear Log", 5040, 2520, 975, 255, Font::kDefault},
      {ids::kCommand4, Kind::kGraphicButton, L"On", 240, 1560, 1575, 375, Font::kArialBold},
      {ids::kCommand5, Kind::kGraphicButton, L"Off", 240, 2040, 1575, 375, Font::kArialBold},
      {ids::kCommand6, Kind::kGraphicButton, L"Reload", kFrame4Left + 120, kFrame4Top + 1200, 1575,
       375, Font::kArialBold},
      {ids::kCommand7, Kind::kGraphicButton, L"Settings", kFrame4Left + 120, kFrame4Top + 1680,
       1575, 375, Font::kArialBold},
      {ids::kText1, Kind::kEdit, L"{Zurelo 1.0} Now Playing: ", kFrame3Left + 120, kFrame3Top + 240,
       3495, 855, Font::kArialRegular},
      {ids::kOption2, Kind::kOption, L"Yahoo! 8.0", kFrame1Left + 360, kFrame1Top + 720, 1335, 255,
       Font::kArialBold},
      {ids::kOption3, Kind::kOption, L"MIRC", kFrame1Left + 360, kFrame1Top + 960, 1335, 255,
       Font::kArialBold},
      {ids::kOption6, Kind::kOption, L"AOL 9.0", kFrame1Left + 360, kFrame1Top + 240, 1335, 255,
       Font::kArialBold},
      {ids::kOption7, Kind::kOption, L"AIM 5.9", kFrame1Left + 360, kFrame1Top + 480, 1335, 255,
       Font::kArialBold},
      {ids::kLabel1, Kind::kDisplay, L"", 0, 3600, 5295, 255, Font::kArialBold},
      {ids::kFrame1, Kind::kFrame, L"Chat Send Method", kFrame1Left, kFrame1Top, 1815, 1815,
       Font::kArialBold},
      {ids::kFrame3, Kind::kFrame, L"Chat Send", kFrame3Left, kFrame3Top, 3735, 1215,
       Font::kArialBold},
      {ids::kFrame4, Kind::kFrame, L"Main Control", kFrame4Left, kFrame4Top, 1815, 2175,
       Font::kArialBold},
  };
  return controls;
}

}  // namespace layout
