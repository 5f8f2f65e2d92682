#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "main/chat_clients.h"
#include "main/control_ids.h"
#include "main/formats_ids.h"
#include "main/formats_layout.h"
#include "main/main_layout.h"
#include "settings/settings_ids.h"
#include "settings/settings_layout.h"

namespace {

// A control's pixel rectangle at 96 and at 144 DPI, worked out by hand from its twips: each
// edge is twips * dpi / 1440, halves rounded away from zero.
struct Placed {
  int id;
  layout::Rect at96, at144;
};

std::string Show(const layout::Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) +
         "x" + std::to_string(r.height);
}

const layout::Control& Find(const std::vector<layout::Control>& table, int id) {
  for (const auto& c : table)
    if (c.id == id) return c;
  throw std::runtime_error("no control " + std::to_string(id));
}

TEST(Layout, TwipsToPixelsAtCommonDpis) {
  EXPECT_EQ(layout::TwipsToPixels(3975, 96), 265);
  EXPECT_EQ(layout::TwipsToPixels(3825, 96), 255);
  EXPECT_EQ(layout::TwipsToPixels(4215, 96), 281);
  EXPECT_EQ(layout::TwipsToPixels(2175, 96), 145);
  EXPECT_EQ(layout::TwipsToPixels(1440, 120), 120);
  EXPECT_EQ(layout::TwipsToPixels(1440, 144), 144);
  EXPECT_EQ(layout::TwipsToPixels(-360, 96), -24);
  EXPECT_EQ(layout::TwipsToPixels(7, 96), 0);
  EXPECT_EQ(layout::TwipsToPixels(8, 96), 1);
  EXPECT_EQ(layout::TwipsToPixels(-8, 96), -1);
}

TEST(Layout, EdgesScaleSoNeighboursStayFlush) {
  layout::Control a{1, layout::Kind::kButton, L"", 7, 0, 8, 8, layout::Font::kDefault};
  layout::Control b{2, layout::Kind::kButton, L"", 15, 0, 8, 8, layout::Font::kDefault};
  for (int dpi : {96, 120, 144, 192}) {
    const auto ra = layout::ToPixels(a, dpi), rb = layout::ToPixels(b, dpi);
    EXPECT_EQ(ra.left + ra.width, rb.left) << dpi;
  }
}

TEST(Layout, MainWindowFocusOrderAndHiddenLog) {
  const auto& t = layout::MainControls();
  std::set<int> ids;
  for (const auto& c : t) EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
  EXPECT_EQ(ids.size(), 13u + zurelo::kChatClientCount);
  // The focus starts on the first control: "Start Logging Songs".
  EXPECT_EQ(t.front().id, ids::kLogToggleButton);
  EXPECT_STREQ(t.front().caption, L"Start Logging Songs");
  // The tab order of the controls that take focus.
  std::vector<int> focus;
  for (const auto& c : t)
    if (c.kind != layout::Kind::kFrame && c.kind != layout::Kind::kDisplay) focus.push_back(c.id);
  std::vector<int> want = {ids::kLogToggleButton, ids::kSongList,       ids::kSaveLogButton,
                           ids::kClearLogButton,  ids::kOnButton,       ids::kOffButton,
                           ids::kReloadButton,    ids::kSettingsButton, ids::kPrefixBox};
  // Then the option buttons, each at its client's place.
  want.resize(want.size() + zurelo::kChatClientCount);
  for (const zurelo::ChatClient& client : zurelo::kChatClients) {
    want.at(9 + static_cast<std::size_t>(client.tab_place)) = client.option_id;
  }
  EXPECT_EQ(focus, want);
  // Frames and the label take no focus and come after every control that does.
  bool passive_seen = false;
  for (const auto& c : t) {
    const bool passive = c.kind == layout::Kind::kFrame || c.kind == layout::Kind::kDisplay;
    if (passive_seen) {
      EXPECT_TRUE(passive) << c.id;
    }
    passive_seen = passive_seen || passive;
  }
  // The label runs past the window's right edge; the log lies wholly beyond it.
  EXPECT_GT(Find(t, ids::kSongLabel).width, layout::kMainClientWidth);
  for (int id :
       {ids::kLogToggleButton, ids::kSaveLogButton, ids::kClearLogButton, ids::kSongList}) {
    EXPECT_GT(Find(t, id).left, layout::kMainClientWidth) << id;
  }
}

// Every chat client's option button lies inside the "Chat Send Method" frame, one below
// the other in the order of the table.
TEST(Layout, EveryOptionButtonFitsItsFrame) {
  const auto& t = layout::MainControls();
  const layout::Control& frame = Find(t, ids::kMethodFrame);
  int above = frame.top;
  for (const zurelo::ChatClient& client : zurelo::kChatClients) {
    const layout::Control& option = Find(t, client.option_id);
    EXPECT_GE(option.left, frame.left) << client.option_id;
    EXPECT_GT(option.top, above) << client.option_id;
    EXPECT_LE(option.left + option.width, frame.left + frame.width) << client.option_id;
    EXPECT_LE(option.top + option.height, frame.top + frame.height) << client.option_id;
    above = option.top;
  }
}

void ExpectPlaced(const std::vector<layout::Control>& table, const std::vector<Placed>& want) {
  for (const auto& p : want) {
    EXPECT_EQ(Show(layout::ToPixels(Find(table, p.id), 96)), Show(p.at96)) << p.id;
    EXPECT_EQ(Show(layout::ToPixels(Find(table, p.id), 144)), Show(p.at144)) << p.id;
  }
}

TEST(Layout, MainWindowPixelRectangles) {
  ExpectPlaced(layout::MainControls(),
               {
                   // 5880, 3000, 1695 x 375 twips
                   {ids::kLogToggleButton, {392, 200, 113, 25}, {588, 300, 170, 38}},
                   // 5040, -360, 2895 x 2400: above the client area
                   {ids::kSongList, {336, -24, 193, 160}, {504, -36, 290, 240}},
                   // 240, 2520, 1575 x 375: inside "Main Control" (120, 1320)
                   {ids::kReloadButton, {16, 168, 105, 25}, {24, 252, 158, 38}},
                   // 2400, 1560, 1335 x 255: inside "Chat Send Method" (2040, 1320)
                   {ids::kAolOption, {160, 104, 89, 17}, {240, 156, 134, 26}},
                   // 240, 240, 3495 x 855: inside "Chat Send" (120, 0)
                   {ids::kPrefixBox, {16, 16, 233, 57}, {24, 24, 350, 86}},
                   // 0, 3600, 5295 x 255
                   {ids::kSongLabel, {0, 240, 353, 17}, {0, 360, 530, 26}},
               });
}

TEST(Layout, SettingsWindowPixelRectangles) {
  ExpectPlaced(layout::SettingsControls(),
               {
                   // 120, 1680, 3975 x 375
                   {ids::kSaveSettingsButton, {8, 112, 265, 25}, {12, 168, 398, 38}},
                   // 1200, 840, 1935 x 255
                   {ids::kPauseLabel, {80, 56, 129, 17}, {120, 84, 194, 26}},
                   // 1920, 1200, 495 x 285
                   {ids::kPauseBox, {128, 80, 33, 19}, {192, 120, 50, 29}},
                   // 2880, 360, 1575 x 195
                   {ids::kOpaqueOption, {192, 24, 105, 13}, {288, 36, 158, 20}},
               });
}

TEST(Layout, SettingsWindowFocusOrder) {
  const auto& t = layout::SettingsControls();
  std::vector<int> order;
  for (const auto& c : t) order.push_back(c.id);
  EXPECT_EQ(order,
            (std::vector<int>{ids::kSaveSettingsButton, ids::kTransparencyLabel, ids::kPauseBox,
                              ids::kPauseLabel, ids::kTranslucentOption, ids::kOpaqueOption}));
}

// The formats window: one ID each, every control inside the client area, and those of the
// files inside their frame.
TEST(Layout, FormatsWindowControlsFit) {
  const auto& t = layout::FormatsControls();
  std::set<int> ids;
  const layout::Control& frame = Find(t, ids::kFilesFrame);
  for (const auto& c : t) {
    EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    EXPECT_GE(c.left, 0) << c.id;
    EXPECT_GE(c.top, 0) << c.id;
    EXPECT_LE(c.left + c.width, layout::kFormatsClientWidth) << c.id;
    EXPECT_LE(c.top + c.height, layout::kFormatsClientHeight) << c.id;
    if (c.id > ids::kFilesFrame && c.id < ids::kStatusLabel) {
      EXPECT_GT(c.top, frame.top) << c.id;
      EXPECT_LE(c.top + c.height, frame.top + frame.height) << c.id;
      EXPECT_LE(c.left + c.width, frame.left + frame.width) << c.id;
    }
  }
  EXPECT_EQ(t.front().id, ids::kLineFormatLabel);
}

}  // namespace
