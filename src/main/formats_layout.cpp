#include "main/formats_layout.h"

#include "main/formats_ids.h"

namespace layout {

const std::vector<Control>& FormatsControls() {
  constexpr Font kBold = Font::kArialBold, kPlain = Font::kArialRegular;
  static const std::vector<Control> controls = {
      {ids::kLineFormatLabel, Kind::kLabel, L"The line's format:", 120, 120, 6000, 255, kBold},
      {ids::kLineFormatBox, Kind::kEdit, L"", 120, 390, 6000, 315, kPlain},
      {ids::kSaveLineButton, Kind::kButton, L"Save &Line", 6240, 375, 1440, 345, kBold},
      {ids::kLinePreview, Kind::kLabel, L"", 120, 780, 7560, 255, kPlain},
      {ids::kFilesFrame, Kind::kFrame, L"Now-playing files", 60, 1140, 7680, 4200, kBold},
      {ids::kFileList, Kind::kList, L"", 180, 1410, 7440, 870, kPlain},
      {ids::kFilePathLabel, Kind::kLabel, L"File:", 180, 2430, 1500, 255, kBold},
      {ids::kFilePathBox, Kind::kEdit, L"", 1740, 2400, 4560, 315, kPlain},
      {ids::kBrowseButton, Kind::kButton, L"&Browse...", 6420, 2385, 1200, 345, kBold},
      {ids::kPlayingLabel, Kind::kLabel, L"While playing:", 180, 2850, 1500, 255, kBold},
      {ids::kPlayingBox, Kind::kEdit, L"", 1740, 2820, 5880, 315, kPlain},
      {ids::kPlayingPreview, Kind::kLabel, L"", 1740, 3150, 5880, 255, kPlain},
      {ids::kPausedLabel, Kind::kLabel, L"While paused:", 180, 3480, 1500, 255, kBold},
      {ids::kPausedBox, Kind::kEdit, L"", 1740, 3450, 5880, 315, kPlain},
      {ids::kPausedPreview, Kind::kLabel, L"", 1740, 3780, 5880, 255, kPlain},
      {ids::kStoppedLabel, Kind::kLabel, L"While stopped:", 180, 4110, 1500, 255, kBold},
      {ids::kStoppedBox, Kind::kEdit, L"", 1740, 4080, 5880, 315, kPlain},
      {ids::kStoppedPreview, Kind::kLabel, L"", 1740, 4410, 5880, 255, kPlain},
      {ids::kAddFileButton, Kind::kButton, L"&Add File", 1740, 4830, 1800, 345, kBold},
      {ids::kChangeFileButton, Kind::kButton, L"&Change File", 3780, 4830, 1800, 345, kBold},
      {ids::kRemoveFileButton, Kind::kButton, L"&Remove File", 5820, 4830, 1800, 345, kBold},
      {ids::kStatusLabel, Kind::kLabel, L"", 120, 5430, 7560, 255, kBold},
      {ids::kPlaceholdersLabel, Kind::kLabel,
       L"Placeholders: {song} {artist} {title} {number} {length} {position} {state}, and "
       L"{prefix} in the line. {{song} is the text {song}.",
       120, 5760, 7560, 480, kPlain},
  };
  return controls;
}

}  // namespace layout
