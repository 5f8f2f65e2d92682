// The main window on its own: the now-playing label and its tool tip, the stored
// translucency, the layout and focus at start, Reload, and closing.

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>

#include "fixture.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kNotFound[] = L"Winamp 6 Not Found";

class NowPlayingTest : public E2eTest {
 protected:
  // The label and its tool tip both show text (the tool tip within a few ticks).
  void ExpectShown(const std::wstring& text) {
    EXPECT_TRUE(zurelo_.WaitLabel(text)) << "label: " << ::testing::PrintToString(zurelo_.Label());
    HWND tip = ToolTipOf(zurelo_.main());
    ASSERT_NE(tip, nullptr) << "no tool tip control for the main window";
    std::optional<std::wstring> tip_text;
    EXPECT_TRUE(WaitUntil([&] {
      tip_text = ToolTipText(tip);
      return tip_text == text;
    })) << "tool tip: "
        << ::testing::PrintToString(tip_text.value_or(L"(unreadable)"));
  }
};

TEST_F(NowPlayingTest, WithoutPlayerShowsNotFound) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  ExpectShown(kNotFound);
}

TEST_F(NowPlayingTest, LabelAndToolTipFollowTheTitle) {
  Peer* player = StartPeer("player", L"123. Artist - Title - Winamp");
  ASSERT_NE(player, nullptr);
  ASSERT_TRUE(StartZurelo(L"Artist - Title"));
  ExpectShown(L"Artist - Title");

  struct Case {
    const wchar_t* title;
    const wchar_t* shown;
  };
  const Case cases[] = {
      // The time goes up to its bracket; the blank before the bracket stays.
      {L"3. Artist - Song (3:45) - Winamp", L"Artist - Song "},
      // A word inside the brackets stops the trailing clean-up: only ")" goes.
      {L"4. Artist - Song (Live) - Winamp", L"Artist - Song (Live"},
      // Digits at either end go even when they belong to the song.
      {L"7. Artist - Track 12 - Winamp", L"Artist - Track"},
      {L"12. 50 Artist - Song - Winamp", L"Artist - Song"},
      // While the player scrolls its title, the song is read from the whole copy.
      {L"*** 12. Artist - Song - Winamp", L"Artist - Song"},
      // Read through the ANSI code page and back.
      {L"5. Café del Mar - Été - Winamp", L"Café del Mar - Été"},
      // A title longer than the label: the tool tip shows it whole.
      {L"8. An Artist With A Rather Long Name - A Song Whose Title Runs Well Past The Edge Of "
       L"The Window - Winamp",
       L"An Artist With A Rather Long Name - A Song Whose Title Runs Well Past The Edge Of The "
       L"Window"},
      // Exactly the suffix: nothing is left of the song.
      {L" - Winamp", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.title)));
    ASSERT_TRUE(SetText(player->Top(), c.title));
    ExpectShown(c.shown);
  }

  // Only the first 255 characters of the title are read, and the cut takes the last 9 of
  // those, wherever the suffix really is.
  const std::wstring very_long = L"1. " + std::wstring(300, L'A') + L" - Winamp";
  ASSERT_TRUE(SetText(player->Top(), very_long));
  ExpectShown(std::wstring(255 - 3 - 9, L'A'));
}

TEST_F(NowPlayingTest, TitleTooShortKeepsTheSong) {
  Peer* player = StartPeer("player", L"1. Artist - Song - Winamp");
  ASSERT_NE(player, nullptr);
  ASSERT_TRUE(StartZurelo(L"Artist - Song"));
  ASSERT_TRUE(SetText(player->Top(), L"Winamp"));
  // The label must not change; give the 10 ms refresh many chances to get it wrong.
  Pause(500ms);
  EXPECT_EQ(zurelo_.Label(), L"Artist - Song");
  ASSERT_TRUE(SetText(player->Top(), L"2. Next - One - Winamp"));
  ExpectShown(L"Next - One");
}

TEST_F(NowPlayingTest, PlayerComingAndGoing) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  Peer* player = StartPeer("player", L"9. Late - Arrival - Winamp");
  ASSERT_NE(player, nullptr);
  ExpectShown(L"Late - Arrival");
  player->Stop();
  ExpectShown(kNotFound);
}

class MainWindowTest : public E2eTest {};

TEST_F(MainWindowTest, StoredTranslucencyOnOpensAtAlpha200) {
  StoreSetting(L"Trans", L"Trans1", L"1");
  ASSERT_TRUE(StartZurelo(kNotFound));
  EXPECT_EQ(LayeredAlpha(zurelo_.main()), std::optional<BYTE>(200));
}

TEST_F(MainWindowTest, StoredTranslucencyOffOrNothingLeavesTheWindowUnlayered) {
  for (const wchar_t* stored : {L"2", L"", L"on"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(stored)));
    ClearSettings();
    if (*stored != L'\0') StoreSetting(L"Trans", L"Trans1", stored);
    ASSERT_TRUE(StartZurelo(kNotFound));
    EXPECT_EQ(ExStyle(zurelo_.main()) & WS_EX_LAYERED, 0u);
    zurelo_.Stop();
  }
}

TEST_F(MainWindowTest, CaptionBorderAndFocusAtStart) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  EXPECT_EQ(TextOf(zurelo_.main()), L"Zurelo 1.0");
  // A fixed single border with a minimize button only.
  const LONG style = GetWindowLongW(zurelo_.main(), GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  // The first control in the tab order has the focus, although it lies off the window.
  HWND start_logging = zurelo_.Item(ids::kLogToggleButton);
  ASSERT_NE(start_logging, nullptr);
  EXPECT_EQ(TextOf(start_logging), L"Start Logging Songs");
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(zurelo_.main()) == start_logging; }))
      << "focus is on " << ::testing::PrintToString(TextOf(FocusOf(zurelo_.main())));
}

// Sets the screen DPI that programs started from now on get, and puts back the old one.
class DpiOverride {
 public:
  explicit DpiOverride(DWORD dpi) {
    DWORD size = sizeof(old_);
    had_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
           ERROR_SUCCESS;
    Set(dpi);
  }
  ~DpiOverride() {
    if (had_) {
      Set(old_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
  }
  DpiOverride(const DpiOverride&) = delete;
  DpiOverride& operator=(const DpiOverride&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
  static constexpr wchar_t kValue[] = L"LogPixels";
  static void Set(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof(dpi));
  }
  DWORD old_ = 0;
  bool had_ = false;
};

TEST_F(MainWindowTest, BothWindowsScaleWithTheScreenDpi) {
  for (const int dpi : {96, 120, 144}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    const DpiOverride override_dpi(static_cast<DWORD>(dpi));
    ASSERT_TRUE(StartZurelo(kNotFound));
    // Twips to pixels, rounded half away from zero: 265 by 255 and 281 by 145 at 96 DPI.
    const SIZE main = ClientSize(zurelo_.main());
    EXPECT_EQ(main.cx, (3975 * dpi + 720) / 1440);
    EXPECT_EQ(main.cy, (3825 * dpi + 720) / 1440);
    zurelo_.Click(ids::kSettingsButton);
    HWND settings = WaitTopLevel(kSettingsClass, zurelo_.pid());
    ASSERT_NE(settings, nullptr);
    const SIZE window = ClientSize(settings);
    EXPECT_EQ(window.cx, (4215 * dpi + 720) / 1440);
    EXPECT_EQ(window.cy, (2175 * dpi + 720) / 1440);
    zurelo_.Stop();
  }
}

TEST_F(MainWindowTest, TabWalksTheControlsInTheirOrder) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  // Labels and frames are passed over; the option group is one stop, at its first option.
  const int order[] = {ids::kLogToggleButton, ids::kSongList,       ids::kSaveLogButton,
                       ids::kClearLogButton,  ids::kOnButton,       ids::kOffButton,
                       ids::kReloadButton,    ids::kSettingsButton, ids::kPrefixBox,
                       ids::kYahooOption,     ids::kLogToggleButton};
  HWND focus = zurelo_.Item(order[0]);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(zurelo_.main()) == focus; }));
  for (std::size_t i = 1; i < std::size(order); ++i) {
    PostKey(focus, VK_TAB);
    HWND next = zurelo_.Item(order[i]);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(zurelo_.main()) == next; }, 5s))
        << "after control " << GetDlgCtrlID(focus) << " the focus went to "
        << GetDlgCtrlID(FocusOf(zurelo_.main())) << ", not " << order[i];
    focus = FocusOf(zurelo_.main());
  }
}

class LifetimeTest : public E2eTest {};

TEST_F(LifetimeTest, ClosingTheWindowEndsTheProgram) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  PostMessageW(zurelo_.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s));
}

TEST_F(LifetimeTest, OnlyAnEndingSessionEndsTheProgram) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  // Another program cancelled the shutdown: the session goes on, and so does Zurelo.
  PostMessageW(zurelo_.main(), WM_ENDSESSION, FALSE, 0);
  ASSERT_TRUE(zurelo_.Sync()) << "the program ended";
  EXPECT_TRUE(zurelo_.process().Running());
  PostMessageW(zurelo_.main(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s));
}

TEST_F(LifetimeTest, ClosingWithTheSettingsWindowOpenEndsTheProgram) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  zurelo_.Click(ids::kSettingsButton);
  ASSERT_NE(WaitTopLevel(kSettingsClass, zurelo_.pid()), nullptr);
  PostMessageW(zurelo_.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s));
}

TEST_F(LifetimeTest, ClosingDuringAnAnnouncerPauseEndsTheProgram) {
  StoreSetting(L"Pause", L"Pause1", L"60");
  Peer* player = StartPeer("player", L"1. Artist - Song - Winamp");
  Peer* mirc = StartPeer("mirc");
  ASSERT_NE(player, nullptr);
  ASSERT_NE(mirc, nullptr);
  ASSERT_TRUE(StartZurelo(L"Artist - Song"));
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
  zurelo_.Click(ids::kOnButton);
  const std::optional<Box> enabled = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(enabled.has_value());
  EXPECT_EQ(enabled->text, L"Zurelo Enabled!!");
  EXPECT_EQ(IconOf(*enabled), BoxIcon::kInformation);
  ASSERT_TRUE(CloseBox(*enabled));
  // The first line is out: the announcer is now in its 60-second pause.
  ASSERT_TRUE(WaitUntil([&] {
    for (const PeerEvent& e : mirc->log().All()) {
      if (e.window == "mirc.edit" && e.what == "sent") return true;
    }
    return false;
  }));
  PostMessageW(zurelo_.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s));
}

// The one main window, once it is no longer old_pid's.
HWND WaitReloadedCopy(DWORD old_pid) {
  HWND copy = nullptr;
  WaitUntil([&] {
    const std::vector<HWND> windows = TopLevelWindows(kMainClass);
    copy = windows.size() == 1 && ProcessOf(windows.front()) != old_pid ? windows.front() : nullptr;
    return copy != nullptr;
  });
  return copy;
}

std::size_t LinesSent(const Peer& mirc) {
  std::size_t n = 0;
  for (const PeerEvent& e : mirc.log().All()) n += e.window == "mirc.edit" && e.what == "sent";
  return n;
}

TEST_F(LifetimeTest, ReloadDuringAnAnnouncerPauseEndsTheRunningCopy) {
  StoreSetting(L"Pause", L"Pause1", L"60");
  Peer* mirc = StartPeer("mirc");
  ASSERT_NE(mirc, nullptr);
  ASSERT_TRUE(StartZurelo(kNotFound));
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  ASSERT_TRUE(mirc->WaitEvents(3));
  // No pause for the copy that follows: its lines go one after the other.
  StoreSetting(L"Pause", L"Pause1", L"0");
  zurelo_.Click(ids::kReloadButton);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s)) << "the 60-second pause held up the end";
  HWND copy = WaitReloadedCopy(zurelo_.pid());
  ASSERT_NE(copy, nullptr);
  Process reloaded = Process::Open(ProcessOf(copy));

  // Reloaded again while it announces: the old copy sends no line once Reload is clicked
  // (one may be on its way), and the copy after it finds no copy in its way.
  PostClick(GetDlgItem(copy, ids::kMircOption));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(copy, ids::kMircOption)); }));
  PostClick(GetDlgItem(copy, ids::kOnButton));
  const std::optional<Box> enabled = WaitMessageBox(reloaded.pid());
  ASSERT_TRUE(enabled.has_value());
  ASSERT_TRUE(CloseBox(*enabled));
  const std::size_t before = LinesSent(*mirc) + 5;
  ASSERT_TRUE(WaitUntil([&] { return LinesSent(*mirc) >= before; })) << "no lines";
  const std::size_t at_click = LinesSent(*mirc);
  PostClick(GetDlgItem(copy, ids::kReloadButton));
  ASSERT_TRUE(reloaded.WaitExit(10s));
  EXPECT_LE(LinesSent(*mirc), at_click + 2) << "lines went after Reload was clicked";
  copy = WaitReloadedCopy(reloaded.pid());
  ASSERT_NE(copy, nullptr);
  Pause(500ms);
  EXPECT_EQ(TopLevelWindows(kMainClass).size(), 1u);
  EXPECT_EQ(ProcessesNamed(L"Zurelo.exe"), 1u);
  Process last = Process::Open(ProcessOf(copy));
  PostMessageW(copy, WM_CLOSE, 0, 0);
  EXPECT_TRUE(last.WaitExit(10s));
}

TEST_F(LifetimeTest, ReloadLeavesExactlyOneRunningCopy) {
  ASSERT_TRUE(StartZurelo(kNotFound));
  // Stored after the start: only the new copy reads it.
  StoreSetting(L"Trans", L"Trans1", L"1");
  const DWORD old_pid = zurelo_.pid();
  // A second click while the first waits to end the program starts no second copy.
  zurelo_.Click(ids::kReloadButton);
  Pause(150ms);
  zurelo_.Click(ids::kReloadButton);
  ASSERT_TRUE(zurelo_.process().WaitExit(10s)) << "the old copy did not end";

  HWND copy = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<HWND> windows = TopLevelWindows(kMainClass);
    copy = windows.size() == 1 ? windows.front() : nullptr;
    return copy != nullptr;
  })) << "visible main windows: "
      << TopLevelWindows(kMainClass).size();
  const DWORD new_pid = ProcessOf(copy);
  Process reloaded = Process::Open(new_pid);
  EXPECT_NE(new_pid, old_pid);
  EXPECT_TRUE(IsIconic(copy)) << "the new copy starts minimized";
  EXPECT_EQ(LayeredAlpha(copy), std::optional<BYTE>(200));
  // A second start ends without a window of its own, and the running copy comes forward.
  Process second = Process::Start(ProgramPaths().zurelo);
  ASSERT_TRUE(second.started()) << second.Describe();
  EXPECT_TRUE(second.WaitExit(10s)) << "a second copy runs";
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(copy) && GetForegroundWindow() == copy; }))
      << "the running copy stayed minimized or behind";
  // Still exactly one a while later: the new copy does not reload again.
  Pause(1s);
  EXPECT_EQ(TopLevelWindows(kMainClass).size(), 1u);
  EXPECT_EQ(ProcessesNamed(L"Zurelo.exe"), 1u);

  PostMessageW(copy, WM_CLOSE, 0, 0);
  EXPECT_TRUE(reloaded.WaitExit(10s));
}

TEST_F(LifetimeTest, TwoStartsAtOnceLeaveOneRunningCopy) {
  Process first = Process::Start(ProgramPaths().zurelo);
  Process second = Process::Start(ProgramPaths().zurelo);
  ASSERT_TRUE(first.started() && second.started());
  ASSERT_TRUE(WaitUntil([&] { return !first.Running() || !second.Running(); }))
      << "both copies run";
  const Process& running = first.Running() ? first : second;
  ASSERT_NE(WaitTopLevel(kMainClass, running.pid()), nullptr) << running.Describe();
  Pause(500ms);
  EXPECT_TRUE(running.Running());
  EXPECT_EQ(TopLevelWindows(kMainClass).size(), 1u);
  EXPECT_EQ(ProcessesNamed(L"Zurelo.exe"), 1u);
}

class RenamedCopyTest : public E2eTest {
 protected:
  void TearDown() override {
    E2eTest::TearDown();
    ClearSettings(L"Other");
  }
};

TEST_F(RenamedCopyTest, HasSettingsOfItsOwnAndReloadWithoutZureloExeJustEnds) {
  const std::wstring copy = dir_.File(L"Other.exe");
  ASSERT_TRUE(CopyFileW(ProgramPaths().zurelo.c_str(), copy.c_str(), TRUE));
  StoreSetting(L"Trans", L"Trans1", L"2");
  StoreSetting(L"Trans", L"Trans1", L"1", L"Other");
  // It runs beside Zurelo.exe, which has a name of its own.
  Zurelo original;
  ASSERT_TRUE(original.Start());
  ASSERT_TRUE(zurelo_.Start(copy));
  EXPECT_EQ(LayeredAlpha(zurelo_.main()), std::optional<BYTE>(200));
  EXPECT_EQ(LayeredAlpha(original.main()), std::nullopt);

  // Beside the copy there is no Zurelo.exe to start: the copy ends and starts none.
  zurelo_.Click(ids::kReloadButton);
  ASSERT_TRUE(zurelo_.process().WaitExit(10s));
  Pause(1500ms);
  EXPECT_EQ(TopLevelWindows(kMainClass), std::vector<HWND>{original.main()});
}

}  // namespace
}  // namespace e2e
