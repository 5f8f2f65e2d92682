#include <gtest/gtest.h>

#include "settings/app_name.h"
#include "settings/is_numeric.h"
#include "settings/settings_editor.h"
#include "settings/settings_model.h"
#include "settings/translucency.h"
#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

constexpr wchar_t kApp[] = L"Zurelo";

TEST(SettingsModel, DefaultsThePauseAndKeepsTheChoiceAsStored) {
  fakes::MemorySettings store;
  settings::SettingsModel model(store, kApp);
  EXPECT_EQ(model.Get(settings::kPauseSeconds), L"60");
  EXPECT_EQ(model.Get(settings::kTranslucency), L"");
  store.values[{kApp, L"Pause", L"Pause1"}] = L" 1.5 ";
  store.values[{kApp, L"Trans", L"Trans1"}] = L"1";
  store.values[{L"Other", L"Pause", L"Pause1"}] = L"5";
  EXPECT_EQ(model.Get(settings::kPauseSeconds), L" 1.5 ");
  EXPECT_EQ(model.Get(settings::kTranslucency), L"1");
}

TEST(SettingsModel, OnlyAStoredOneMakesTheWindowTranslucentAtStart) {
  for (const std::wstring choice : {L"1", L"2", L"", L" 1", L"01"}) {
    fakes::FakeDesktop desk;
    const auto w = desk.Add(0, L"ZureloMain");
    settings::ApplyStoredTranslucency(choice, desk, w);
    if (choice == L"1") {
      EXPECT_EQ(desk.At(w).alpha, 200);
      EXPECT_TRUE(*desk.At(w).ex_style & settings::kExLayered);
    } else {
      EXPECT_FALSE(desk.At(w).alpha.has_value())
          << "choice " << std::string(choice.begin(), choice.end());
      EXPECT_EQ(*desk.At(w).ex_style, 0u);
    }
  }
}

TEST(MakeTranslucent, AddsTheLayerOnlyForAnAlphaInRange) {
  fakes::FakeDesktop desk;
  const auto w = desk.Add(0, L"ZureloMain");
  desk.At(w).ex_style = 0x100;
  settings::MakeTranslucent(desk, w, 256);
  settings::MakeTranslucent(desk, w, -1);
  EXPECT_EQ(*desk.At(w).ex_style, 0x100u);
  EXPECT_FALSE(desk.At(w).alpha.has_value());
  settings::MakeTranslucent(desk, w, 0);
  EXPECT_EQ(*desk.At(w).ex_style, 0x100u | settings::kExLayered);  // other styles kept
  EXPECT_EQ(desk.At(w).alpha, 0);
}

TEST(IsNumeric, AcceptsFiniteNumbersWithBlanksSignsAndTheDecimalSeparator) {
  for (const wchar_t* yes : {L"60", L" 45 ", L"-5", L"+3", L"1.5", L".5", L"5.", L"0", L"1e3",
                             L"1E+308", L"1E-400", L"\t7\t"}) {
    EXPECT_TRUE(settings::IsNumeric(yes)) << std::wstring(yes).size();
  }
  EXPECT_TRUE(settings::IsNumeric(L"1,5", L','));
  for (const wchar_t* no :
       {L"", L" ", L"abc", L"1,5", L"10 s", L"1e", L"-", L".", L"1..2", L"0x10", L"1 2", L"e5"}) {
    EXPECT_FALSE(settings::IsNumeric(no)) << std::wstring(no).size();
  }
  // Too large for a number: the pause would never end.
  const std::wstring huge = L"1" + std::wstring(400, L'0');
  for (const std::wstring& endless : {std::wstring(L"1E+400"), std::wstring(L" -2e999 "), huge}) {
    EXPECT_FALSE(settings::IsNumeric(endless)) << endless.size();
  }
  EXPECT_FALSE(settings::IsNumeric(L"1,5E400", L','));
}

TEST(AppNameFromPath, IsTheBaseNameWithoutExtension) {
  EXPECT_EQ(settings::AppNameFromPath(L"C:\\Program Files\\Zurelo\\Zurelo.exe"), L"Zurelo");
  EXPECT_EQ(settings::AppNameFromPath(L"Z:/x/my.app.exe"), L"my.app");
  EXPECT_EQ(settings::AppNameFromPath(L"Zurelo"), L"Zurelo");
  EXPECT_EQ(settings::AppNameFromPath(L"C:\\.hidden"), L".hidden");
}

// The settings window's controls and boxes as plain data.
class FakeSettingsView : public settings::SettingsView {
 public:
  std::wstring pause = L"60";
  bool on = false;
  std::vector<std::wstring> boxes;  // "i:<text>" information, "c:<text>" critical
  std::function<void()> on_box;

  std::wstring PauseText() override { return pause; }
  void SetPauseText(const std::wstring& t) override { pause = t; }
  bool TranslucentSelected() override { return on; }
  bool OpaqueSelected() override { return !on; }
  void SelectTranslucent(bool b) override { on = b; }
  void Inform(const std::wstring& t) override {
    boxes.push_back(L"i:" + t);
    if (on_box) on_box();
  }
  void Reject(const std::wstring& t) override {
    boxes.push_back(L"c:" + t);
    if (on_box) on_box();
  }
};

class SettingsEditorTest : public ::testing::Test {
 protected:
  std::wstring Stored(const wchar_t* section, const wchar_t* key) {
    return store_.Get(kApp, section, key);
  }
  SettingsEditorTest() {
    // As the main window listens: a new translucency choice reaches it at once.
    model_.Listen([this](const settings::Setting& s, const std::wstring& value) {
      if (&s == &settings::kTranslucency) settings::ApplyChosenTranslucency(value, desk_, main_);
    });
  }
  fakes::FakeDesktop desk_;
  fakes::MemorySettings store_;
  settings::SettingsModel model_{store_, kApp};
  FakeSettingsView view_;
  platform::Handle main_ = desk_.Add(0, L"ZureloMain");
  settings::SettingsEditor form_{view_, model_};
};

TEST_F(SettingsEditorTest, LoadShowsStoredValuesOrTheDefaults) {
  view_.pause = L"";
  form_.Load();
  EXPECT_EQ(view_.pause, L"60");
  EXPECT_FALSE(view_.on);
  store_.values[{kApp, L"Pause", L"Pause1"}] = L"30";
  store_.values[{kApp, L"Trans", L"Trans1"}] = L"1";
  form_.Load();
  EXPECT_EQ(view_.pause, L"30");
  EXPECT_TRUE(view_.on);
  store_.values[{kApp, L"Trans", L"Trans1"}] = L"yes";  // unknown: the selection stays
  form_.Load();
  EXPECT_TRUE(view_.on);
  store_.values[{kApp, L"Trans", L"Trans1"}] = L"2";
  form_.Load();
  EXPECT_FALSE(view_.on);
}

TEST_F(SettingsEditorTest, ValidPauseIsStoredAsTypedAndTranslucencyAppliedAfterTheBox) {
  view_.pause = L" 45 ";
  view_.on = true;
  // The translucency is applied only once the box is closed.
  view_.on_box = [&] { EXPECT_FALSE(desk_.At(main_).alpha.has_value()); };
  form_.Save();
  EXPECT_EQ(view_.boxes, (std::vector<std::wstring>{L"i:Settings Saved!!"}));
  EXPECT_EQ(Stored(L"Pause", L"Pause1"), L" 45 ");
  EXPECT_EQ(Stored(L"Trans", L"Trans1"), L"1");
  EXPECT_EQ(desk_.At(main_).alpha, 200);
}

TEST_F(SettingsEditorTest, InvalidPauseIsRejectedButTheTranslucencyChoiceStillSaved) {
  store_.values[{kApp, L"Pause", L"Pause1"}] = L"30";
  for (const wchar_t* bad : {L"abc", L"", L"1E+400"}) {
    view_.boxes.clear();
    view_.pause = bad;
    view_.on = false;
    form_.Save();
    EXPECT_EQ(view_.boxes, (std::vector<std::wstring>{L"c:Invalid Entry"}));
    EXPECT_EQ(Stored(L"Pause", L"Pause1"), L"30");
    EXPECT_EQ(Stored(L"Trans", L"Trans1"), L"2");
    EXPECT_EQ(desk_.At(main_).alpha, 250);  // "Off" is 250, not fully opaque
    EXPECT_TRUE(*desk_.At(main_).ex_style & settings::kExLayered);
  }
}

TEST_F(SettingsEditorTest, AFailedStoreWriteIsNotReportedAsSaved) {
  store_.fail_writes = true;
  view_.pause = L"10";
  form_.Save();
  EXPECT_EQ(view_.boxes, (std::vector<std::wstring>{L"c:Settings could not be saved!!"}));
  EXPECT_EQ(desk_.At(main_).alpha, 250);  // the choice is still applied to the window
}

TEST_F(SettingsEditorTest, UsesTheUsersDecimalSeparator) {
  settings::SettingsEditor comma{view_, model_, L','};
  view_.pause = L"1,5";
  comma.Save();
  EXPECT_EQ(Stored(L"Pause", L"Pause1"), L"1,5");
}

}  // namespace
