#include "settings/settings_layout.h"

#include "settings/settings_ids.h"

namespace layout {

const std::vector<Control>& SettingsControls() {
  static const std::vector<Control> controls = {
      {ids::kSetCommand7, Kind::kGraphicButton, L"Save/Change Settings", 120, 1680, 3975, 375,
       Font::kArialBold},
      {ids::kSetLabel1, Kind::kLabel, L"Transparency:", 1440, 120, 1215, 375, Font::kArialBold},
      {ids::kSetText1, Kind::kEdit, L"60", 1920, 1200, 495, 285, Font::kArialBold},
      {ids::kSetLabel2, Kind::kLabel, L"Pause Value:(Seconds)", 1200, 840, 1935, 255,
       Font::kArialBold},
      {ids::kSetOption1, Kind::kOption, L"On", 720, 360, 1575, 195, Font::kArialBold},
      {ids::kSetOption2, Kind::kOption, L"Off", 2880, 360, 1575, 195, Font::kArialBold},
  };
  return controls;
}

}  // namespace layout
