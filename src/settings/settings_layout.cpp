#include "settings/settings_layout.h"

#include "settings/settings_ids.h"

namespace layout {

const std::vector<Control>& SettingsControls() {
  static const std::vector<Control> controls = {
      {ids::kSaveSettingsButton, Kind::kGraphicButton, L"Save/Change Settings", 120, 1680, 3975,
       375, Font::kArialBold},
      {ids::kTransparencyLabel, Kind::kLabel, L"Transparency:", 1440, 120, 1215, 375,
       Font::kArialBold},
      {ids::kPauseBox, Kind::kEdit, L"60", 1920, 1200, 495, 285, Font::kArialBold},
      {ids::kPauseLabel, Kind::kLabel, L"Pause Value:(Seconds)", 1200, 840, 1935, 255,
       Font::kArialBold},
      {ids::kTranslucentOption, Kind::kOption, L"On", 720, 360, 1575, 195, Font::kArialBold},
      {ids::kOpaqueOption, Kind::kOption, L"Off", 2880, 360, 1575, 195, Font::kArialBold},
  };
  return controls;
}

}  // namespace layout
