// The settings window: one at a time, what it shows from the store, checking and storing
// the pause, and translucency applied to the main window at once.

#include <gtest/gtest.h>

#include <chrono>

#include "fixture.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kNotFound[] = L"Winamp 6 Not Found";

class SettingsWindowTest : public E2eTest {
 protected:
  // Starts the program and opens its settings window.
  void Open() {
    ASSERT_TRUE(StartZurelo(kNotFound));
    zurelo_.Click(ids::kSettingsButton);
    settings_ = WaitTopLevel(kSettingsClass, zurelo_.pid());
    ASSERT_NE(settings_, nullptr);
  }
  HWND Item(int id) const { return GetDlgItem(settings_, id); }
  std::wstring PauseBox() const { return TextOf(Item(ids::kPauseBox)); }

  // Types the pause, clicks "Save/Change Settings" and returns the box that comes.
  std::optional<Box> Save(const std::wstring& pause) {
    EXPECT_TRUE(SetText(Item(ids::kPauseBox), pause));
    PostClick(Item(ids::kSaveSettingsButton));
    return WaitMessageBox(zurelo_.pid());
  }

  HWND settings_ = nullptr;
};

TEST_F(SettingsWindowTest, TwoClicksGiveOneWindowThatIsNotReloaded) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(TextOf(settings_), L"Settings");
  // A tool window of its own: no owner, so not tied to the main window.
  EXPECT_NE(ExStyle(settings_) & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(GetWindow(settings_, GW_OWNER), nullptr);
  ASSERT_TRUE(SetText(Item(ids::kPauseBox), L"99"));
  zurelo_.Click(ids::kSettingsButton);
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_EQ(TopLevelWindows(kSettingsClass, zurelo_.pid()).size(), 1u);
  EXPECT_EQ(PauseBox(), L"99") << "the second click loaded the window again";
  // The main window stays usable: the settings window is not modal.
  EXPECT_TRUE(IsWindowEnabled(zurelo_.main()));
}

TEST_F(SettingsWindowTest, EmptyStoreShowsSixtyAndOffWithTheFocusOnSave) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(PauseBox(), L"60");
  EXPECT_FALSE(IsChecked(Item(ids::kTranslucentOption)));
  EXPECT_TRUE(IsChecked(Item(ids::kOpaqueOption)));
  HWND save = Item(ids::kSaveSettingsButton);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(settings_) == save; }));
}

TEST_F(SettingsWindowTest, ClosingWithoutSavingChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(SetText(Item(ids::kPauseBox), L"5"));
  // Enter typed in the pause box saves nothing: the window has no default button.
  HWND save = Item(ids::kSaveSettingsButton), pause = Item(ids::kPauseBox);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(settings_) == save; }));
  PostKey(save, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(settings_) == pause; }));
  PostKey(pause, VK_RETURN);
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty()) << "Enter in the pause box saved";
  PostClick(Item(ids::kTranslucentOption));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Item(ids::kTranslucentOption)); }));
  PostMessageW(settings_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings_); }));
  EXPECT_EQ(StoredSetting(L"Pause", L"Pause1"), std::nullopt);
  EXPECT_EQ(StoredSetting(L"Trans", L"Trans1"), std::nullopt);
  EXPECT_EQ(ExStyle(zurelo_.main()) & WS_EX_LAYERED, 0u);
  EXPECT_TRUE(zurelo_.process().Running());
}

TEST_F(SettingsWindowTest, ShowsTheStoredValues) {
  StoreSetting(L"Pause", L"Pause1", L"30");
  StoreSetting(L"Trans", L"Trans1", L"1");
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(PauseBox(), L"30");
  EXPECT_TRUE(IsChecked(Item(ids::kTranslucentOption)));
  EXPECT_FALSE(IsChecked(Item(ids::kOpaqueOption)));
}

TEST_F(SettingsWindowTest, RejectsAPauseThatIsNotANumberButStillAppliesTranslucency) {
  StoreSetting(L"Pause", L"Pause1", L"30");
  ASSERT_NO_FATAL_FAILURE(Open());
  // A number too large to be finite would make the pause endless.
  for (const wchar_t* pause : {L"abc", L"", L"1E+400"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(pause)));
    const std::optional<Box> box = Save(pause);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"Invalid Entry");
    EXPECT_EQ(box->caption, L"Zurelo");
    if (pause[0] == L'a') {
      EXPECT_EQ(IconOf(*box), BoxIcon::kError);
    }
    // Translucency is applied only once the box is closed.
    if (pause[0] == L'a') {
      EXPECT_EQ(ExStyle(zurelo_.main()) & WS_EX_LAYERED, 0u);
    }
    ASSERT_TRUE(CloseBox(*box));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(zurelo_.main()) == BYTE{250}; }));
    EXPECT_EQ(StoredSetting(L"Pause", L"Pause1"), std::optional<std::wstring>(L"30"));
    EXPECT_EQ(StoredSetting(L"Trans", L"Trans1"), std::optional<std::wstring>(L"2"));
  }
}

TEST_F(SettingsWindowTest, StoresANumberWithItsBlanksAndShowsItWhenOpenedAgain) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(SetText(Item(ids::kPauseBox), L" 45 "));
  // Enter on the focused "Save/Change Settings" clicks it.
  HWND save = Item(ids::kSaveSettingsButton);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(settings_) == save; }));
  PostKey(save, VK_RETURN);
  const std::optional<Box> box = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Settings Saved!!");
  EXPECT_EQ(box->caption, L"Zurelo");
  EXPECT_EQ(IconOf(*box), BoxIcon::kInformation);
  ASSERT_TRUE(CloseBox(*box));
  EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"Pause", L"Pause1") == L" 45 "; }));

  // Closed and opened again, it reads the store afresh.
  PostMessageW(settings_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings_); }));
  zurelo_.Click(ids::kSettingsButton);
  settings_ = WaitTopLevel(kSettingsClass, zurelo_.pid());
  ASSERT_NE(settings_, nullptr);
  EXPECT_EQ(PauseBox(), L" 45 ");
}

TEST_F(SettingsWindowTest, OnGivesAlpha200AndOffGivesAlpha250AtOnce) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_EQ(ExStyle(zurelo_.main()) & WS_EX_LAYERED, 0u);

  PostClick(Item(ids::kTranslucentOption));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Item(ids::kTranslucentOption)); }));
  std::optional<Box> box = Save(L"60");
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Settings Saved!!");
  ASSERT_TRUE(CloseBox(*box));
  EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(zurelo_.main()) == BYTE{200}; }));
  EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"Trans", L"Trans1") == L"1"; }));

  PostClick(Item(ids::kOpaqueOption));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(Item(ids::kOpaqueOption)); }));
  box = Save(L"60");
  ASSERT_TRUE(box.has_value());
  ASSERT_TRUE(CloseBox(*box));
  EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(zurelo_.main()) == BYTE{250}; }));
  EXPECT_EQ(StoredSetting(L"Trans", L"Trans1"), std::optional<std::wstring>(L"2"));
}

}  // namespace
}  // namespace e2e
