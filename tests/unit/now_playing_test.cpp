#include "player/now_playing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "main/now_playing_model.h"
#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

using player::CleanTitle;

TEST(CleanTitle, CutsSuffixNumbersAndTimes) {
  EXPECT_EQ(CleanTitle(L"123. Artist - Title - Winamp"), L"Artist - Title");
  EXPECT_EQ(CleanTitle(L"3. Artist - Song (3:45) - Winamp"), L"Artist - Song ");
  EXPECT_EQ(CleanTitle(L"4. Artist - Song (Live) - Winamp"), L"Artist - Song (Live");
  EXPECT_EQ(CleanTitle(L"7. Artist - Track 12 - Winamp"), L"Artist - Track");
  EXPECT_EQ(CleanTitle(L"12. 50 Artist - Song - Winamp"), L"Artist - Song");
}

TEST(CleanTitle, ShortTitlesYieldNothingAndNineCharsYieldEmpty) {
  EXPECT_EQ(CleanTitle(L""), std::nullopt);
  EXPECT_EQ(CleanTitle(L"Winamp"), std::nullopt);
  EXPECT_EQ(CleanTitle(L"12345678"), std::nullopt);
  EXPECT_EQ(CleanTitle(L" - Winamp"), L"");
  // A title made only of digits and blanks is cleaned away entirely, not past its start.
  EXPECT_EQ(CleanTitle(L"1 2 3 4 5 - Winamp"), L"");
}

TEST(CleanTitle, ThePlayersStateAfterTheSuffixIsNotPartOfTheSong) {
  EXPECT_EQ(CleanTitle(L"1. A - B - Winamp [Paused]"), L"A - B");
  // It is read beside the song: any word but "Paused" means stopped.
  using player::PlayerState;
  const auto state = [](const std::wstring& title, player::TitleRead read) {
    return player::ReadTitle(title, read).value_or(player::TitleReading{}).state;
  };
  EXPECT_EQ(state(L"1. A - B - Winamp", player::TitleRead::kWhole), PlayerState::kPlaying);
  EXPECT_EQ(state(L"1. A - B - Winamp [Paused]", player::TitleRead::kWhole), PlayerState::kPaused);
  EXPECT_EQ(state(L"1. A - B - Winamp [Pau", player::TitleRead::kFilledBuffer),
            PlayerState::kPaused);
  EXPECT_EQ(state(L"1. A - B - Winamp [Angehalten]", player::TitleRead::kWhole),
            PlayerState::kStopped);
  EXPECT_EQ(CleanTitle(L"1. A - B - Winamp [Stopped]"), L"A - B");
  EXPECT_EQ(CleanTitle(L"1. A - B (3:45) - Winamp [Angehalten]"), L"A - B ");
  EXPECT_EQ(CleanTitle(L"1. A - B - Winamp []"), L"A - B");
  // Brackets of the song stay, before the suffix and before the state.
  EXPECT_EQ(CleanTitle(L"1. Artist - Song [Remix] - Winamp"), L"Artist - Song [Remix]");
  EXPECT_EQ(CleanTitle(L"1. Artist - Song [Remix] - Winamp [Paused]"), L"Artist - Song [Remix]");
  // Without the suffix before it, a closing bracket is the song's own.
  EXPECT_EQ(CleanTitle(L"1. Radio - Live Stream [HD]"), L"Radio - Live St");
}

TEST(CleanTitle, WorksOnAnyScriptAndNeverSplitsAPair) {
  EXPECT_EQ(
      CleanTitle(L"1. \u041a\u0438\u043d\u043e - \u0413\u0440\u0443\u043f\u043f\u0430 - Winamp"),
      L"\u041a\u0438\u043d\u043e - \u0413\u0440\u0443\u043f\u043f\u0430");
  EXPECT_EQ(CleanTitle(L"2. \u0141\u00f3d\u017a \u221e - \u65e5\u672c - Winamp"),
            L"\u0141\u00f3d\u017a \u221e - \u65e5\u672c");
  // A character beyond the first plane is two UTF-16 units.
  const std::wstring smile = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  // Next to the trimmed digits, blanks and brackets, the pair stays whole.
  EXPECT_EQ(CleanTitle(L"12. " + smile + L" A - B " + smile + L" (3:45) - Winamp"),
            smile + L" A - B " + smile + L" ");
  EXPECT_EQ(CleanTitle(L"1." + smile + L"(2) - Winamp"), smile);
  // The suffix cut ending inside a pair takes the whole character.
  EXPECT_EQ(CleanTitle(L"A - B" + smile + L"- Winamp"), L"A - B");
}

// The title the player shows while it scrolls `title`: from its k-th character on.
std::wstring Scrolled(const std::wstring& title, std::size_t k) {
  return (title + L" *** " + title).substr(k);
}

TEST(CleanTitle, AScrollingTitleReadsAsItsTitleAtEveryStep) {
  // The second has a marker of its own, left of the scroll's or right of it as it moves.
  // A title that begins with stars reads as the player's scroll would leave it.
  for (const std::wstring title :
       {L"12. Artist - Song - Winamp", L"3. A *** B (3:45) - Winamp [Paused]",
        L"* Hit - Band - Winamp", L"*** Hit - Band - Winamp [Stopped]"}) {
    for (std::size_t k = 0; k <= title.size() + 4; ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(CleanTitle(Scrolled(title, k)), CleanTitle(title));
    }
  }
}

TEST(CleanTitle, TitlesThatOnlyLookScrolledReadAsTheyStand) {
  EXPECT_EQ(CleanTitle(L"6. Band - Rock *** Roll - Winamp"), L"Band - Rock *** Roll");
  EXPECT_EQ(CleanTitle(L"*NSYNC - Pop - Winamp"), L"*NSYNC - Pop");
  // The text before the marker is no end of the title after it.
  EXPECT_EQ(CleanTitle(L"1. A - B - Winamp *** 1. A - C - Winamp"), L"A - B - Winamp *** 1. A - C");
  // Cut by the read, the two sides joined do not end as a player title.
  EXPECT_EQ(CleanTitle(L"1. Band - Rock *** Roll and more", player::TitleRead::kFilledBuffer),
            L"Band - Rock *** Roll");
}

TEST(CleanTitle, CutsAtFirstNul) {
  EXPECT_EQ(CleanTitle(std::wstring(L"1. A - B - Winamp\0junk", 22)), L"A - B");
}

// The refresh reads the player every 10 ms; the label is set only when the song changes.
TEST(NowPlayingModel, TellsTheWindowOnlyWhenTheSongChanges) {
  struct Display : zurelo::SongDisplay {
    std::vector<std::wstring> shown;
    void ShowSong(const std::wstring& song) override { shown.push_back(song); }
  } display;
  fakes::FakeDesktop desk;
  fakes::ManualClock clock;
  zurelo::NowPlaying model(desk, display, clock);
  const auto player = desk.Add(0, L"Winamp v1.x", L"1. A - B - Winamp");
  for (int i = 0; i < 3; ++i) model.Refresh();
  desk.SetText(player, L"2. C - D - Winamp [Paused]");
  model.Refresh();
  desk.SetText(player, L"Winamp");  // too short to read: the song stays
  model.Refresh();
  desk.SetText(player, L"2. C - D - Winamp");
  model.Refresh();
  EXPECT_EQ(display.shown, (std::vector<std::wstring>{L"A - B", L"C - D"}));
  EXPECT_EQ(model.song(), L"C - D");
}

// The player asked about itself, against a fake whose answers come when the test runs the
// message loop (Answer).
class AskedPlayerTest : public ::testing::Test {
 protected:
  using State = player::PlayerState;
  struct Display : zurelo::SongDisplay {
    std::vector<std::wstring> songs;
    std::vector<State> states;
    std::vector<player::SongFacts> facts;
    void ShowSong(const std::wstring& song) override { songs.push_back(song); }
    void ShowState(State state) override { states.push_back(state); }
    void ShowFacts(const player::SongFacts& f) override { facts.push_back(f); }
  };
  // A window of the player's class that answers as the player does.
  platform::Handle AddPlayer(const std::wstring& title) {
    const platform::Handle w = desk.Add(0, L"Winamp v1.x", title);
    desk.At(w).answers = {
        {{0, 0}, 0x5066}, {{0, 104}, 3}, {{0, 105}, 61000}, {{1, 105}, 245}, {{0, 125}, 6}};
    return w;
  }
  // What was asked, as "wParam/lParam".
  std::vector<std::string> Asked(std::size_t from = 0) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < desk.questions.size(); ++i) {
      const auto& q = desk.questions[i];
      EXPECT_EQ(q.message, 0x0400u);
      out.push_back(std::to_string(q.wparam) + "/" + std::to_string(q.lparam));
    }
    return out;
  }
  // The refresh timer's ticks, 10 ms apart, for that long; the message loop runs after each.
  void Run(double seconds) {
    for (long n = std::lround(seconds * 100); n > 0; --n) {
      model.Refresh();
      while (desk.Answer()) {
      }
      clock.now = 1000.0 + static_cast<double>(++ticks_) / 100;  // no sum of rounded steps
    }
  }

  fakes::FakeDesktop desk;
  fakes::ManualClock clock;  // starts at 1000
  long ticks_ = 0;
  Display display;
  zurelo::NowPlaying model{desk, display, clock};
};

// The version first, then the round's four questions one at a time; the state it answers
// wins over the title's, and the display hears once per round of anything that changed.
TEST_F(AskedPlayerTest, ItsWordForTheStateWinsAndItsFactsAreToldOncePerRound) {
  const platform::Handle w = AddPlayer(L"1. A - B - Winamp");
  model.Refresh();
  // The song and the title's state are shown before any answer.
  EXPECT_EQ(display.songs, std::vector<std::wstring>{L"A - B"});
  EXPECT_EQ(display.states, std::vector<State>{State::kPlaying});
  EXPECT_EQ(Asked(), std::vector<std::string>{"0/0"});
  EXPECT_TRUE(desk.Answer());
  EXPECT_EQ(Asked(1), std::vector<std::string>{"0/104"});
  while (desk.Answer()) {
  }
  EXPECT_EQ(Asked(1), (std::vector<std::string>{"0/104", "0/105", "1/105", "0/125"}));
  EXPECT_FALSE(model.playing());
  EXPECT_EQ(display.states, (std::vector<State>{State::kPlaying, State::kPaused}));
  ASSERT_EQ(display.facts.size(), 2u);
  EXPECT_EQ(display.facts.back(), model.facts());
  EXPECT_EQ(model.facts().list_position, 6);
  EXPECT_EQ(model.facts().length_seconds, 245);
  EXPECT_EQ(model.facts().position_ms, 61000);

  // Nothing more is asked within the second; then only the time played moved.
  Run(0.99);
  EXPECT_EQ(desk.questions.size(), 5u);
  desk.At(w).answers[{0, 105}] = 62000;
  Run(0.02);
  EXPECT_EQ(desk.questions.size(), 9u);
  ASSERT_EQ(display.facts.size(), 3u);
  EXPECT_EQ(display.facts.back().position_ms, 62000);
  Run(1.0);
  EXPECT_EQ(desk.questions.size(), 13u);
  EXPECT_EQ(display.facts.size(), 3u);

  // A new song on the title is asked about at once. An answer it does not know for the
  // state leaves the title's; -1 (here widened as a 32-bit value) is unknown.
  desk.At(w).answers[{0, 104}] = 2;
  desk.At(w).answers[{1, 105}] = 0xFFFFFFFF;
  desk.SetText(w, L"2. C - D - Winamp");
  Run(0.01);
  EXPECT_EQ(desk.questions.size(), 17u);
  EXPECT_EQ(display.songs, (std::vector<std::wstring>{L"A - B", L"C - D"}));
  EXPECT_TRUE(model.playing());
  EXPECT_EQ(model.facts().length_seconds, std::nullopt);
  EXPECT_EQ(model.facts().position_ms, 62000);

  // A title that changes again while a round is under way brings another round right after.
  desk.SetText(w, L"3. E - F - Winamp");
  model.Refresh();
  desk.SetText(w, L"4. G - H - Winamp");
  model.Refresh();
  while (desk.Answer()) {
  }
  EXPECT_EQ(desk.questions.size(), 21u);
  model.Refresh();
  EXPECT_EQ(desk.questions.size(), 22u);
}

// A window that answers 0 to the version knows no questions: it is never asked again, and
// the title's reading stands. A window put in its place is asked afresh.
TEST_F(AskedPlayerTest, AWindowThatKnowsNoQuestionsIsAskedOnceAndANewOneAfresh) {
  const platform::Handle mute = desk.Add(0, L"Winamp v1.x", L"1. A - B - Winamp [Paused]");
  Run(0.5);
  desk.SetText(mute, L"2. C - D - Winamp [Paused]");
  Run(3.0);
  EXPECT_EQ(Asked(), std::vector<std::string>{"0/0"});
  EXPECT_EQ(model.state(), State::kPaused);
  EXPECT_EQ(model.facts().position_ms, std::nullopt);

  desk.At(mute).cls = L"Gone";  // still there, but no longer the player a search finds
  AddPlayer(L"2. C - D - Winamp [Paused]");
  Run(0.01);
  EXPECT_EQ(Asked(1), (std::vector<std::string>{"0/0", "0/104", "0/105", "1/105", "0/125"}));
  EXPECT_EQ(model.facts().list_position, 6);
}

// A hung player: one question at a time; its word stands two seconds and then the title's
// does; a question given up after 5 s, then 10, 20... And a late answer of a window the
// player replaced is no answer.
TEST_F(AskedPlayerTest, AHungPlayerHoldsNothingAndIsAskedEverLessOften) {
  const platform::Handle w = AddPlayer(L"1. A - B - Winamp");
  Run(0.01);
  ASSERT_EQ(model.state(), State::kPaused);
  desk.At(w).hung = true;
  Run(1.0);  // the next round's first question is out
  ASSERT_EQ(desk.questions.size(), 6u);
  Run(1.98);
  EXPECT_EQ(model.state(), State::kPaused);
  Run(0.04);
  EXPECT_EQ(model.state(), State::kPlaying);
  EXPECT_EQ(model.facts().list_position, std::nullopt);
  EXPECT_EQ(display.facts.back(), model.facts());
  // Given up at 5, 15 and 35 s after the first went; a new song does not hasten that.
  desk.SetText(w, L"2. C - D - Winamp");
  Run(57.0);
  EXPECT_EQ(Asked(5), (std::vector<std::string>{"0/104", "0/104", "0/104", "0/104"}));
  EXPECT_EQ(desk.Unanswered(), 4u);
  // Back, it answers them all: the latest counts, and the round goes on.
  desk.At(w).hung = false;
  Run(0.01);
  EXPECT_EQ(desk.questions.size(), 12u);
  EXPECT_EQ(model.state(), State::kPaused);
  EXPECT_EQ(model.facts().list_position, 6);

  // The player restarts while a question is out: the old window's answer is dropped, and
  // the new one's answers are taken for what they answer.
  desk.At(w).hung = true;
  Run(1.0);
  ASSERT_EQ(desk.Unanswered(), 1u);
  desk.At(w).cls = L"Gone";
  const platform::Handle again = AddPlayer(L"2. C - D - Winamp [Stopped]");
  desk.At(again).answers[{0, 104}] = 1;
  desk.At(w).hung = false;
  Run(0.01);
  EXPECT_EQ(model.state(), State::kPlaying);
}

TEST(ReadNowPlaying, ReportsMissingPlayerAndKeepsNothingForShortTitle) {
  fakes::FakeDesktop desk;
  EXPECT_EQ(player::ReadNowPlaying(desk), L"Winamp 6 Not Found");
  const auto w = desk.Add(0, L"Winamp v1.x", L"Winamp");
  EXPECT_EQ(player::ReadNowPlaying(desk), std::nullopt);
  desk.SetText(w, L"1. Artist - Song - Winamp");
  EXPECT_EQ(player::ReadNowPlaying(desk), L"Artist - Song");
}

TEST(ReadNowPlaying, ReadsAtMost255Characters) {
  fakes::FakeDesktop desk;
  // 300 characters: the read stops at 255, and the cut then takes its last nine away.
  const auto w = desk.Add(0, L"Winamp v1.x", std::wstring(300, L'x'));
  EXPECT_EQ(player::ReadNowPlaying(desk), std::wstring(255 - 9, L'x'));
  // Paused, a title of 250 no longer fits: the read cuts the state short.
  desk.SetText(w, L"1. " + std::wstring(238, L'x') + L" - Winamp [Paused]");
  EXPECT_EQ(player::ReadNowPlaying(desk), std::wstring(238, L'x'));
  // A short title's open bracket is the song's own, and so is a long one far from the end.
  desk.SetText(w, L"1. A - Winamp [Pau");
  EXPECT_EQ(player::ReadNowPlaying(desk), L"A - Wi");
  desk.SetText(w, L"1. A - Winamp [" + std::wstring(250, L'x'));
  EXPECT_EQ(player::ReadNowPlaying(desk), L"A - Winamp [" + std::wstring(255 - 15 - 9, L'x'));
}

TEST(ReadNowPlaying, ALongScrollingTitleReadsAsItsTitleAtEveryStep) {
  fakes::FakeDesktop desk;
  const auto w = desk.Add(0, L"Winamp v1.x", L"");
  // 250 units, the longest that always comes back, with a pair the read cuts at one step;
  // no text in it repeats, which would make the place where its two sides meet ambiguous.
  std::wstring longest = L"12. Artist - ";
  for (wchar_t c = 0x4E00; longest.size() < 250 - 11; ++c) longest += c;
  longest += {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  longest += L" - Winamp";
  // 200 units: where the read cuts, the two sides overlap by 50.
  const std::wstring shorter =
      L"7. An Artist With A Rather Long Name - A Song Whose Title Runs Well Past The Edge Of "
      L"The Window And On Into The Next Room Where Nobody Can Read It Any More At All, "
      L"Not Even On Sunday - Winamp [Paused]";
  ASSERT_EQ(longest.size(), 250u);
  ASSERT_EQ(shorter.size(), 200u);
  for (const std::wstring& title : {longest, shorter}) {
    for (std::size_t k = 0; k <= title.size() + 4; ++k) {
      SCOPED_TRACE(k);
      desk.SetText(w, Scrolled(title, k));
      EXPECT_EQ(player::ReadNowPlaying(desk), CleanTitle(title));
    }
  }
}

TEST(ReadNowPlaying, TheLengthLimitNeverSplitsAPair) {
  fakes::FakeDesktop desk;
  const std::wstring smile = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  // The 255th unit is the first half of a pair: the read keeps 254, the cut then nine more.
  const auto w = desk.Add(0, L"Winamp v1.x", std::wstring(254, L'x') + smile + L" - Winamp");
  EXPECT_EQ(player::ReadNowPlaying(desk), std::wstring(254 - 9, L'x'));
  // A pair that ends at the 255th unit is read whole.
  desk.SetText(w, std::wstring(244, L'x') + smile + L" - Winamp" + std::wstring(20, L'y'));
  EXPECT_EQ(player::ReadNowPlaying(desk), std::wstring(244, L'x') + smile);
}

}  // namespace
