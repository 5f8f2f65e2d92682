#include "main/main_layout.h"

#include "main/chat_clients.h"
#include "main/control_ids.h"

namespace layout {

namespace {
// Frames of the main window; the controls inside them add these offsets.
constexpr int kMainControlLeft = 120, kMainControlTop = 1320;
constexpr int kMethodLeft = 2040, kMethodTop = 1320;
constexpr int kChatSendLeft = 120, kChatSendTop = 0;
}  // namespace

const std::vector<Control>& MainControls() {
  // Frames and the label take no focus; they come last so that they lie beneath the
  // controls they hold, and the focus order of the rest stays the window's tab order.
  static const std::vector<Control> controls = [] {
    std::vector<Control> rows = {
        {ids::kLogToggleButton, Kind::kButton, L"Start Logging Songs", 5880, 3000, 1695, 375,
         Font::kDefault},
        {ids::kSongList, Kind::kList, L"", 5040, -360, 2895, 2400, Font::kDefault},
        {ids::kSaveLogButton, Kind::kButton, L"&Save Log", 4920, 2160, 975, 255, Font::kDefault},
        {ids::kClearLogButton, Kind::kButton, L"&Clear Log", 5040, 2520, 975, 255, Font::kDefault},
        {ids::kOnButton, Kind::kGraphicButton, L"On", 240, 1560, 1575, 375, Font::kArialBold},
        {ids::kOffButton, Kind::kGraphicButton, L"Off", 240, 2040, 1575, 375, Font::kArialBold},
        {ids::kReloadButton, Kind::kGraphicButton, L"Reload", kMainControlLeft + 120,
         kMainControlTop + 1200, 1575, 375, Font::kArialBold},
        {ids::kSettingsButton, Kind::kGraphicButton, L"Settings", kMainControlLeft + 120,
         kMainControlTop + 1680, 1575, 375, Font::kArialBold},
        {ids::kPrefixBox, Kind::kEdit, L"{Zurelo 1.0} Now Playing: ", kChatSendLeft + 120,
         kChatSendTop + 240, 3495, 855, Font::kArialRegular},
    };
    // The option buttons, one after another in their tab order: rows of one kind in a run
    // make one group, so choosing one clears the others. Each stands at its client's place
    // in the announcer's order, one below the other.
    for (std::size_t place = 0; place < zurelo::kChatClientCount; ++place) {
      for (std::size_t row = 0; row < zurelo::kChatClientCount; ++row) {
        const zurelo::ChatClient& client = zurelo::kChatClients[row];
        if (static_cast<std::size_t>(client.tab_place) != place) continue;
        rows.push_back({client.option_id, Kind::kOption, client.caption, kMethodLeft + 360,
                        kMethodTop + 240 + 240 * static_cast<int>(row), 1335, 255,
                        Font::kArialBold});
      }
    }
    const Control last[] = {
        {ids::kSongLabel, Kind::kDisplay, L"", 0, 3600, 5295, 255, Font::kArialBold},
        {ids::kMethodFrame, Kind::kFrame, L"Chat Send Method", kMethodLeft, kMethodTop, 1815, 1815,
         Font::kArialBold},
        {ids::kChatSendFrame, Kind::kFrame, L"Chat Send", kChatSendLeft, kChatSendTop, 3735, 1215,
         Font::kArialBold},
        {ids::kMainControlFrame, Kind::kFrame, L"Main Control", kMainControlLeft, kMainControlTop,
         1815, 2175, Font::kArialBold},
    };
    rows.insert(rows.end(), std::begin(last), std::end(last));
    return rows;
  }();
  return controls;
}

}  // namespace layout
