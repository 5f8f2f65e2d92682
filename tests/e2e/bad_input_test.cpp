// Input the program does not expect: stored pauses that never end, that are negative (and
// stay so until Reload, whatever is saved meanwhile) or carry a word after the number, a
// prefix of 100,000 characters, player titles longer than the title read takes, and titles
// without the player's suffix.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fixture.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// The log's top entry, or nothing when the list is empty or does not answer.
std::optional<std::wstring> Top(HWND list) {
  std::vector<std::wstring> entries = ListItems(list);
  if (entries.empty()) return std::nullopt;
  return std::move(entries.front());
}

using Clock = std::chrono::steady_clock;

constexpr wchar_t kDefaultPrefix[] = L"{Zurelo 1.0} Now Playing: ";

constexpr wchar_t kFirstTitle[] = L"1. Artist - Song - Winamp";
constexpr wchar_t kFirstSong[] = L"Artist - Song";

// The lines the mIRC channel posted, in order.
std::vector<std::string> Posted(const Peer& mirc) {
  std::vector<std::string> lines;
  for (const PeerEvent& e : mirc.log().All()) {
    if (e.window == "mirc.edit" && e.what == "sent") lines.push_back(e.Bytes());
  }
  return lines;
}

class StoredPauseTest : public E2eTest {
 protected:
  // A player, a mIRC channel and the program announcing into it with the stored pause.
  void StartAnnouncing(const wchar_t* pause) {
    StoreSetting(L"Pause", L"Pause1", pause);
    player_ = StartPeer("player", kFirstTitle);
    ASSERT_NE(player_, nullptr);
    mirc_ = StartPeer("mirc");
    ASSERT_NE(mirc_, nullptr);
    ASSERT_TRUE(StartZurelo(kFirstSong));
    zurelo_.Click(ids::kMircOption);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
    ASSERT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  }

  bool WaitPosted(std::size_t n, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Posted(*mirc_).size() >= n; }, timeout);
  }

  std::vector<std::wstring> Log() const { return ListItems(zurelo_.Item(ids::kSongList)); }
  bool WaitLogTop(const std::wstring& song) const {
    return WaitUntil([&] { return Top(zurelo_.Item(ids::kSongList)) == song; });
  }
  bool WaitToggle(const std::wstring& caption) const {
    return WaitUntil([&] { return TextOf(zurelo_.Item(ids::kLogToggleButton)) == caption; });
  }

  Peer* player_ = nullptr;
  Peer* mirc_ = nullptr;
};

// «1e400» is beyond any number of seconds: the wait after the first line never ends. The
// program must go on working around it, and closing it must still end it.
TEST_F(StoredPauseTest, EndlessPauseLeavesEveryOtherControlWorking) {
  ASSERT_NO_FATAL_FAILURE(StartAnnouncing(L"1e400"));
  const std::string first = ToUtf8(std::wstring(kDefaultPrefix) + kFirstSong);
  ASSERT_TRUE(WaitPosted(1, 10s));
  EXPECT_EQ(Posted(*mirc_), std::vector<std::string>{first});

  // The label follows the player.
  ASSERT_TRUE(SetText(player_->Top(), L"2. During - The Wait - Winamp"));
  EXPECT_TRUE(zurelo_.WaitLabel(L"During - The Wait"));

  // The log toggles, takes songs, clears.
  zurelo_.Click(ids::kLogToggleButton);
  ASSERT_TRUE(WaitToggle(L"Stop Logging Songs"));
  EXPECT_TRUE(WaitLogTop(L"During - The Wait"));
  ASSERT_TRUE(SetText(player_->Top(), L"3. Still - Waiting - Winamp"));
  EXPECT_TRUE(WaitLogTop(L"Still - Waiting"));
  EXPECT_EQ(Log(), (std::vector<std::wstring>{L"Still - Waiting", L"During - The Wait"}));
  zurelo_.Click(ids::kClearLogButton);
  EXPECT_TRUE(WaitUntil([&] { return Log() == std::vector<std::wstring>{L"Still - Waiting"}; }));
  zurelo_.Click(ids::kLogToggleButton);
  EXPECT_TRUE(WaitToggle(L"Start Logging Songs"));

  // The settings window opens and shows the stored pause as stored.
  zurelo_.Click(ids::kSettingsButton);
  HWND settings = WaitTopLevel(kSettingsClass, zurelo_.pid());
  ASSERT_NE(settings, nullptr) << "the settings window did not open during the wait";
  EXPECT_EQ(TextOf(GetDlgItem(settings, ids::kPauseBox)), L"1e400");

  // Off shows its box; the wait goes on, so no second line has come.
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  EXPECT_EQ(Posted(*mirc_).size(), 1u) << "the endless pause ended";

  // Closing the main window ends the program at once, the settings window with it.
  PostMessageW(zurelo_.main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(zurelo_.process().WaitExit(10s)) << "closing did not end the program";
}

// «-5» is a number below zero: no wait at all, so lines follow each other as fast as the
// announcer's timer comes round. The pause is the one read at start until Reload: a pause
// saved in the settings window meanwhile does not reach "On" clicked again, and the lines
// go on without a wait.
TEST_F(StoredPauseTest, NegativePauseSendsWithoutWaiting) {
  ASSERT_NO_FATAL_FAILURE(StartAnnouncing(L"-5"));
  // Twenty lines would take 95 s at a five-second pause, and 19 s at one second.
  constexpr std::size_t kLines = 20;
  const auto start = Clock::now();
  EXPECT_TRUE(WaitPosted(kLines, 15s)) << "only " << Posted(*mirc_).size() << " lines came";
  const auto took =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  std::printf("[soak] pause \"-5\": %zu lines within %lld ms\n", Posted(*mirc_).size(),
              static_cast<long long>(took));
  std::fflush(stdout);
  const std::string line = ToUtf8(std::wstring(kDefaultPrefix) + kFirstSong);
  for (const std::string& posted : Posted(*mirc_)) EXPECT_EQ(posted, line);

  zurelo_.Click(ids::kSettingsButton);
  const HWND settings = WaitTopLevel(kSettingsClass, zurelo_.pid());
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(SetText(GetDlgItem(settings, ids::kPauseBox), L"60"));
  PostClick(GetDlgItem(settings, ids::kSaveSettingsButton));
  const std::optional<Box> saved = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->text, L"Settings Saved!!");
  ASSERT_TRUE(CloseBox(*saved));
  PostMessageW(settings, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  ASSERT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  // At a 60-second pause at most one more line would come.
  const std::size_t at_on = Posted(*mirc_).size();
  EXPECT_TRUE(WaitPosted(at_on + 5, 15s)) << "\"On\" waited the pause saved after the start";

  // The program keeps answering between the back-to-back cycles, and Off stops them.
  ASSERT_TRUE(SetText(player_->Top(), L"2. Next - Song - Winamp"));
  EXPECT_TRUE(zurelo_.WaitLabel(L"Next - Song"));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  ASSERT_TRUE(zurelo_.Sync());
  const std::size_t after_off = Posted(*mirc_).size();
  Pause(1s);
  // Off lets the cycle under way finish: the line on its way at the click may still land
  // after it, and nothing more.
  EXPECT_LE(Posted(*mirc_).size(), after_off + 1) << "lines went on after Off";
  EXPECT_TRUE(zurelo_.process().Running());
}

// « 10 s»: the leading number, after its blank, is read and the word ignored: ten seconds.
TEST_F(StoredPauseTest, PauseWithAWordAfterItWaitsItsLeadingNumber) {
  ASSERT_NO_FATAL_FAILURE(StartAnnouncing(L" 10 s"));
  ASSERT_TRUE(WaitPosted(1, 10s));
  const auto first = Clock::now();
  // Not read as "no number" (lines back to back) nor as one second.
  EXPECT_FALSE(WaitPosted(2, 5s)) << "a second line came within 5 s";
  // Not read as endless, nor as the 60 s default.
  EXPECT_TRUE(WaitPosted(2, 40s)) << "no second line within 45 s";
  const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - first);
  std::printf("[soak] pause \" 10 s\": second line %lld ms after the first was seen\n",
              static_cast<long long>(gap.count()));
  std::fflush(stdout);
}

class LongTextTest : public E2eTest {
 protected:
  // Shows the title and expects the label and its tool tip to show song.
  void ExpectShown(const std::wstring& title, const std::wstring& song) {
    ASSERT_TRUE(SetText(player_->Top(), title));
    EXPECT_TRUE(zurelo_.WaitLabel(song)) << "label: " << ::testing::PrintToString(zurelo_.Label());
    HWND tip = ToolTipOf(zurelo_.main());
    ASSERT_NE(tip, nullptr);
    std::optional<std::wstring> tip_text;
    EXPECT_TRUE(WaitUntil([&] {
      tip_text = ToolTipText(tip);
      return tip_text == song;
    })) << "tool tip: "
        << ::testing::PrintToString(tip_text.value_or(L"(unreadable)"));
  }

  Peer* player_ = nullptr;
};

// A prefix of 100,000 characters typed into the box reaches the Unicode channel whole, as
// it is.
TEST_F(LongTextTest, HugePrefixReachesTheChannelWhole) {
  StoreSetting(L"Pause", L"Pause1", L"60");
  player_ = StartPeer("player", kFirstTitle);
  ASSERT_NE(player_, nullptr);
  Peer* mirc = StartPeer("mirc");
  ASSERT_NE(mirc, nullptr);
  ASSERT_TRUE(StartZurelo(kFirstSong));

  std::wstring prefix;
  const std::wstring piece = L"Zurelo soak 0123456789 caf\u00E9 \u00BD ";
  while (prefix.size() < 100000) prefix += piece;
  prefix.resize(100000);
  prefix.replace(0, 3, L"<<<");
  prefix.replace(prefix.size() - 4, 4, L">>> ");
  HWND box = zurelo_.Item(ids::kPrefixBox);
  ASSERT_TRUE(SetText(box, prefix));
  const std::wstring in_box = TextOf(box);
  EXPECT_EQ(in_box.size(), prefix.size()) << "the prefix box cut the text";
  EXPECT_TRUE(in_box == prefix) << "the prefix box changed the text";

  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
  ASSERT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  ASSERT_TRUE(WaitUntil([&] { return !Posted(*mirc).empty(); }, 20s));

  const std::string line = ToUtf8(prefix + kFirstSong);
  const std::vector<PeerEvent> all = mirc->log().All();
  std::vector<const PeerEvent*> events;
  for (const PeerEvent& e : all) {
    if (IsMessageEvent(e)) events.push_back(&e);
  }
  ASSERT_EQ(events.size(), 3u) << "expected the text, the Enter and the posted line";
  EXPECT_EQ(events[0]->window, "mirc.edit");
  EXPECT_EQ(events[0]->what, "WM_SETTEXT");
  EXPECT_EQ(events[0]->Bytes().size(), line.size());
  EXPECT_TRUE(events[0]->Bytes() == line) << "the text was changed on the way";
  EXPECT_EQ(events[1]->line, MessageEvent("mirc.edit", "WM_CHAR", 13));
  EXPECT_EQ(events[2]->what, "sent");
  EXPECT_EQ(events[2]->Bytes().size(), line.size());
  EXPECT_TRUE(events[2]->Bytes() == line) << "the channel posted another line";

  // Nothing is stuck: the label still follows the player.
  ASSERT_TRUE(SetText(player_->Top(), L"2. After - The Long Line - Winamp"));
  EXPECT_TRUE(zurelo_.WaitLabel(L"After - The Long Line"));
  EXPECT_TRUE(zurelo_.process().Running());
}

// The title read takes 255 characters and cuts the last nine of what it got, wherever the
// suffix really is; without the suffix, nine characters of the song go. The log keeps what
// the label shows.
TEST_F(LongTextTest, LongTitlesAndTitlesWithoutTheSuffixShowWhatTheReadYields) {
  player_ = StartPeer("player", kFirstTitle);
  ASSERT_NE(player_, nullptr);
  ASSERT_TRUE(StartZurelo(kFirstSong));
  zurelo_.Click(ids::kLogToggleButton);
  ASSERT_TRUE(WaitUntil(
      [&] { return TextOf(zurelo_.Item(ids::kLogToggleButton)) == L"Stop Logging Songs"; }));

  // Letters only, so neither clean-up takes anything off the song's ends.
  std::wstring body;
  const std::wstring letters = L"abcdefghijklmnopqrstuvwxyz\u00E9\u00FC";
  while (body.size() < 400) body += letters;

  struct Case {
    std::wstring title;
    std::wstring song;
  };
  const Case cases[] = {
      // 255 characters: read whole, the suffix goes.
      {L"1. " + body.substr(0, 243) + L" - Winamp", body.substr(0, 243)},
      // 256: the read ends inside the suffix, and the cut takes the song's last letter.
      {L"2. " + body.substr(0, 244) + L" - Winamp", body.substr(0, 243)},
      // 300: the same 243 letters, wherever the suffix is.
      {L"3. " + body.substr(0, 288) + L" - Winamp", body.substr(0, 243)},
      // No suffix: nine characters of the song go, then the clean-ups run on the rest.
      {L"Radio Stream - Live Set", L"Radio Stream -"},
      {L"05. Internet Radio (12:34)", L"Internet Radi"},
      {L"Endless Stream " + std::wstring(285, L'z'), L"Endless Stream " + std::wstring(231, L'z')},
      // Exactly nine characters: nothing is left.
      {L"123456789", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("title of " + std::to_string(c.title.size()) + " characters");
    ASSERT_NO_FATAL_FAILURE(ExpectShown(c.title, c.song));
    EXPECT_TRUE(WaitUntil([&] { return Top(zurelo_.Item(ids::kSongList)) == c.song; }))
        << "the log did not take the song up";
    EXPECT_TRUE(zurelo_.process().Running());
  }
}

}  // namespace
}  // namespace e2e
