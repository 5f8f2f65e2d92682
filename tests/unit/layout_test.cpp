#include <gtest/gtest.h>

#include <set>

#include "main/control_ids.h"
#include "main/main_layout.h"
#include "settings/settings_ids.h"
#include "settings/settings_layout.h"

namespace {

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

TEST(Layout, MainWindowControlsInTheirPlacesAndFocusOrder) {
  const auto& t = layout::MainControls();
  std::set<int> ids;
  for (const auto& c : t) EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
  EXPECT_EQ(ids.size(), 17u);
  // The focus starts on the first control: "Start Logging Songs".
  EXPECT_EQ(t.front().id, ids::kCommand1);
  EXPECT_STREQ(t.front().caption, L"Start Logging Songs");
  // Frames and the label take no focus and come after every control that does.
  bool passive_seen = false;
  for (const auto& c : t) {
    const bool passive = c.kind == layout::Kind::kFrame || c.kind == layout::Kind::kDisplay;
    if (passive_seen) {
      EXPECT_TRUE(passive) << c.id;
    }
    passive_seen = passive_seen || passive;
  }
  // Controls inside frames carry their frame's offset.
  const auto reload = layout::ToPixels(Find(t, ids::kCommand6), 96);
  EXPECT_EQ(reload.left, 16);
  EXPECT_EQ(reload.top, 168);
  const auto aol = layout::ToPixels(Find(t, ids::kOption6), 96);
  EXPECT_EQ(aol.left, 160);
  EXPECT_EQ(aol.top, 104);
  // The label runs past the window's right edge; the log lies wholly beyond it.
  EXPECT_GT(Find(t, ids::kLabel1).width, layout::kMainClientWidth);
  for (int id : {ids::kCommand1, ids::kCommand2, ids::kCommand3, ids::kList1}) {
    EXPECT_GT(Find(t, id).left, layout::kMainClientWidth) << id;
  }
}

TEST(Layout, SettingsWindowFocusOrder) {
  const auto& t = layout::SettingsControls();
  std::vector<int> order;
  for (const auto& c : t) order.push_back(c.id);
  EXPECT_EQ(order, (std::vector<int>{ids::kSetCommand7, ids::kSetLabel1, ids::kSetText1,
                                     ids::kSetLabel2, ids::kSetOption1, ids::kSetOption2}));
}

}  // namespace
