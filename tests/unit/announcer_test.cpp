#include "main/announcer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

using platform::Delivery;
using platform::Handle;
using zurelo::ChatClient;

// Stand-ins for the table's rows: each keeps its row's option button, caption, place and
// command rule, and types into a box of its own on the fake desktop (a top-level window
// "client<i>" with a child "box"), so the announcer is tested apart from the clients'
// windows, whose lines the chat tests cover; a row added to the table is covered here too.
template <std::size_t I>
platform::LineReport FakeLine(platform::LineWindows& w, const chat::LineText& line) {
  platform::LineReport r;
  const Handle box = w.FindChild(w.FindTopLevel(L"client" + std::to_wstring(I)), 0, L"box");
  if (box == 0) return r;
  r.found_box = true;
  const Delivery text = w.SendText(box, line.text);
  r.text_in_box = platform::WasHandled(text);
  if (text == Delivery::kHandled) r.posted = platform::WasHandled(w.SendChar(box, 13));
  return r;
}
template <std::size_t... I>
std::vector<ChatClient> FakeRows(std::index_sequence<I...>) {
  const auto& t = zurelo::kChatClients;
  return {ChatClient{t[I].option_id, t[I].caption, t[I].tab_place, &FakeLine<I>,
                     t[I].takes_commands}...};
}
const std::vector<ChatClient> kRows =
    FakeRows(std::make_index_sequence<zurelo::kChatClientCount>{});
// The first and the last option looked at in a cycle.
const ChatClient* const kFirst = &kRows.front();
const ChatClient* const kLast = &kRows.back();

class FakeView : public zurelo::AnnouncerView {
 public:
  std::map<const ChatClient*, bool> selected;
  std::wstring prefix = L"{Zurelo 1.0} Now Playing: ";
  std::vector<std::wstring> events;  // timer switches and message boxes, in order

  void Select(const ChatClient* c) {
    selected.clear();
    selected[c] = true;
  }
  bool IsSelected(const ChatClient& c) override { return selected[&c]; }
  bool fail_prefix = false;  // reading the prefix box fails
  std::wstring Prefix() override {
    if (fail_prefix) throw std::runtime_error("prefix box gone");
    return prefix;
  }
  void SetAnnounceTimer(bool enabled) override {
    events.push_back(enabled ? L"timer on" : L"timer off");
  }
  std::optional<double> pause;  // the pause timer, while it is set
  void SetPauseTimer(double seconds) override {
    events.push_back(L"pause " + std::to_wstring(static_cast<long long>(seconds)));
    pause = seconds;
  }
  void Inform(const std::wstring& text) override { events.push_back(L"inform " + text); }
  void Refuse(const std::wstring& text) override { events.push_back(L"refuse " + text); }
};

class NoDisplay : public zurelo::SongDisplay {
 public:
  void ShowSong(const std::wstring&) override {}
};

class AnnouncerTest : public ::testing::Test {
 protected:
  AnnouncerTest() {
    Play(L"1. Artist - Song - Winamp");
    for (std::size_t i = 0; i < kRows.size(); ++i) {
      inputs[&kRows[i]] = desk.Add(desk.Add(0, L"client" + std::to_wstring(i)), L"box");
    }
    announcer.On(L"2");
    announcer.Tick();  // nothing chosen: the cycle ends at once, and "On" is confirmed
    view.events.clear();
  }

  // The player shows a new title and the refresh reads it.
  void Play(const std::wstring& title) {
    if (!player) player = desk.Add(0, L"Winamp v1.x");
    desk.SetText(player, title);
    now_playing.Refresh();
  }

  // The lines each client's input box was given, in order.
  std::vector<std::wstring> Lines(const ChatClient* c) const {
    std::vector<std::wstring> out;
    for (const auto& m : desk.MessagesTo(inputs.at(c)))
      if (m.kind == L"text") out.push_back(m.text);
    return out;
  }
  size_t AllLines() const {
    size_t n = 0;
    for (const auto& [client, input] : inputs) n += Lines(client).size();
    return n;
  }
  // One cycle, moved on as the message loop moves it: the lines' ends are told and the
  // pauses run out, until the cycle is over. during_pause runs in the first pause.
  void Cycle(std::function<void()> during_pause = {}) {
    announcer.Tick();
    Finish(std::move(during_pause));
  }
  void Finish(std::function<void()> during_pause = {}) {
    for (int step = 0; step < 100 && announcer.busy(); ++step) {
      if (desk.EndLines()) continue;
      if (!view.pause) break;  // nothing would move it on: the test sees it still busy
      const double seconds = *view.pause;
      view.pause.reset();
      if (during_pause) std::exchange(during_pause, nullptr)();
      clock.now += seconds;
      announcer.PauseEnded();
    }
  }

  fakes::FakeDesktop desk;
  fakes::ManualClock clock;
  chat::ChatSenders chat{desk};
  FakeView view;
  NoDisplay display;
  Handle player = 0;
  zurelo::NowPlaying now_playing{desk, display, clock};
  zurelo::Announcer announcer{view, chat, now_playing, clock, {kRows.data(), kRows.size()}};
  std::map<const ChatClient*, Handle> inputs;
};

// "On" is confirmed once its first line is on its way (the box's making must not hold the
// line back), or at Off if that comes first.
TEST_F(AnnouncerTest, OnRestartsTheTimerAndOffStopsItEachConfirmed) {
  view.Select(kFirst);
  announcer.On(L"2");
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"timer on"}));
  announcer.Tick();
  EXPECT_EQ(desk.lines, 1);
  EXPECT_EQ(view.events.back(), L"inform Zurelo Enabled!!");
  Finish();
  view.Select(nullptr);
  view.events.clear();
  announcer.On(L"2");
  announcer.Off();
  EXPECT_EQ(view.events,
            (std::vector<std::wstring>{L"timer off", L"timer on", L"timer off",
                                       L"inform Zurelo Enabled!!", L"inform Zurelo Disabled!!"}));
  // A prefix a client that takes commands would evaluate, with that client chosen: "On"
  // says why and does not switch on; changed so while on, the line is not sent, the pause
  // follows, and the user is told why once, not at every line.
  const auto commands = std::find_if(kRows.begin(), kRows.end(),
                                     [](const ChatClient& c) { return c.takes_commands; });
  ASSERT_NE(commands, kRows.end());
  view.Select(&*commands);
  view.prefix = L"//echo np: ";
  view.events.clear();
  announcer.On(L"2");
  ASSERT_EQ(view.events.size(), 1u);
  EXPECT_EQ(view.events[0].rfind(L"refuse ", 0), 0u);
  view.prefix = L"";
  announcer.On(L"2");
  view.prefix = L"//echo np: ";
  const int lines = desk.lines;
  view.events.clear();
  Cycle();
  Cycle();
  EXPECT_EQ(desk.lines, lines);
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), L"pause 2"), view.events.end());
  EXPECT_EQ(std::count_if(view.events.begin(), view.events.end(),
                          [](const std::wstring& e) { return e.rfind(L"refuse ", 0) == 0; }),
            1);
  // So is a line's format that leaves the song in the command, and for any client one with
  // an unclosed placeholder; the default is the prefix followed by the song again.
  view.prefix = L"np: ";
  for (const wchar_t* format : {L"/me{title}", L"{prefix}{artist"}) {
    announcer.SetLineFormat(format);
    view.events.clear();
    announcer.On(L"2");
    ASSERT_EQ(view.events.size(), 1u) << format;
    EXPECT_EQ(view.events[0].rfind(L"refuse The ", 0), 0u) << format;
  }
  announcer.SetLineFormat(L"");
  view.events.clear();
  announcer.On(L"2");
  EXPECT_EQ(view.events.back(), L"timer on");
}

TEST_F(AnnouncerTest, TheTimerSleepsWhileItsCycleRunsAndWakesOnlyIfStillOn) {
  view.Select(kLast);
  Cycle([&] { announcer.On(L"2"); });  // "On" again during the pause
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"pause 2", L"timer off",
                                                    L"inform Zurelo Enabled!!", L"timer on"}));
  view.events.clear();
  Cycle([&] { announcer.Off(); });
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"pause 2", L"timer off",
                                                    L"inform Zurelo Disabled!!"}));
  EXPECT_FALSE(announcer.busy());
}

TEST_F(AnnouncerTest, EachClientGetsPrefixAndSongJoinedAsTheyAre) {
  for (const ChatClient& c : kRows) {
    view.Select(&c);
    Cycle();
    EXPECT_EQ(Lines(&c), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song"});
  }
  EXPECT_EQ(AllLines(), kRows.size());
  // A title that is the player's name alone is an empty song: nothing to announce, not
  // even with an empty prefix.
  view.prefix = L"";
  for (const wchar_t* title : {L" - Winamp", L"Winamp"}) {
    Play(title);
    ASSERT_EQ(now_playing.song(), L"") << title;
    Cycle();
  }
  EXPECT_EQ(AllLines(), kRows.size());
}

TEST_F(AnnouncerTest, NoOptionSendsNothingAndDoesNotWait) {
  announcer.Tick();
  EXPECT_EQ(AllLines(), 0u);
  EXPECT_FALSE(announcer.busy());
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"timer on"}));
}

// The line starts and the announcer returns at once; its end starts the pause, and only the
// pause's end (never a timer that comes early) moves the cycle on.
TEST_F(AnnouncerTest, AfterTheLineWaitsThePauseItWasStartedWith) {
  view.Select(kLast);
  announcer.Tick();
  EXPECT_TRUE(announcer.busy());
  EXPECT_FALSE(view.pause) << "the pause began before the line ended";
  desk.EndLines();
  ASSERT_EQ(view.pause, 2.0);
  view.pause.reset();
  clock.now += 1.5;
  announcer.PauseEnded();
  ASSERT_TRUE(view.pause) << "an early timer ended the pause";
  EXPECT_NEAR(*view.pause, 0.5, 1e-9);
  clock.now += 0.5;
  announcer.PauseEnded();
  EXPECT_FALSE(announcer.busy());
  // A pause longer than an hour, or endless, is waited in slices a window timer can hold.
  announcer.On(L"7300");
  announcer.Tick();
  desk.EndLines();
  for (const double slice : {3600.0, 3600.0, 100.0}) {
    ASSERT_EQ(view.pause, slice);
    clock.now += slice;
    announcer.PauseEnded();
  }
  EXPECT_FALSE(announcer.busy());
  announcer.On(L"1e400");
  Cycle();
  announcer.Tick();
  desk.EndLines();
  EXPECT_EQ(view.pause, 3600.0);
}

TEST_F(AnnouncerTest, PauseWithoutLeadingNumberDoesNotWait) {
  view.Select(kLast);
  for (const wchar_t* p : {L"", L"abc"}) {
    announcer.On(p);
    announcer.Tick();
    desk.EndLines();
    EXPECT_FALSE(announcer.busy()) << p;
  }
  EXPECT_EQ(Lines(kLast).size(), 2u);
  EXPECT_FALSE(view.pause);
}

// A line that failed (no client, or one given up) is followed by the pause all the same.
TEST_F(AnnouncerTest, APauseFollowsALineThatFailed) {
  view.Select(kFirst);
  desk.At(inputs[kFirst]).hung = true;
  announcer.Tick();
  desk.EndLines();
  EXPECT_EQ(view.pause, 2.0);
  Finish();
  desk.Remove(desk.FindTopLevel(L"client0"));
  desk.WorkersBack();
  announcer.Tick();
  desk.EndLines();
  EXPECT_EQ(view.pause, 2.0);
}

TEST_F(AnnouncerTest, LaterOptionChosenDuringTheWaitGetsItsLineInTheSameCycle) {
  view.Select(kFirst);
  Cycle([&] {
    view.Select(kLast);
    Play(L"2. Other - Tune - Winamp");
  });
  EXPECT_EQ(Lines(kFirst).size(), 1u);
  EXPECT_EQ(Lines(kLast), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Other - Tune"});
}

TEST_F(AnnouncerTest, EarlierOptionChosenDuringTheWaitWaitsForTheNextCycle) {
  view.Select(kLast);
  Cycle([&] { view.Select(kFirst); });
  EXPECT_EQ(Lines(kFirst).size(), 0u);
  Cycle();
  EXPECT_EQ(Lines(kFirst).size(), 1u);
  EXPECT_EQ(Lines(kLast).size(), 1u);
}

TEST_F(AnnouncerTest, AFailedCycleLeavesTheAnnouncerFreeAndItsTimerAwake) {
  view.Select(kLast);
  view.fail_prefix = true;
  announcer.Tick();
  EXPECT_FALSE(announcer.busy());
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"timer on"}));
  view.fail_prefix = false;
  Cycle();
  EXPECT_EQ(Lines(kLast).size(), 1u);
}

TEST_F(AnnouncerTest, TicksDuringTheLineAndThePauseAreIgnored) {
  view.Select(kLast);
  announcer.Tick();
  announcer.Tick();
  desk.EndLines();
  announcer.Tick();
  Finish();
  EXPECT_EQ(Lines(kLast).size(), 1u);
  EXPECT_EQ(desk.lines, 1);
}

TEST_F(AnnouncerTest, PrefixAndSongChangedDuringTheWaitAreSentNextTime) {
  view.Select(kLast);
  Cycle([&] {
    view.prefix = L"np: ";
    Play(L"3. B - C - Winamp");
  });
  Cycle();
  EXPECT_EQ(Lines(kLast),
            (std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song", L"np: B - C"}));
}

// Once: a song goes to a client once (a line given up on does not count, and does not touch
// what the other clients were given); paused, stopped or gone, nothing is sent and the timer
// sleeps without a pause until the song or the choice changes; "On" forgets.
TEST_F(AnnouncerTest, OnceSendsEachSongOnceAndSleepsUntilSomethingChanges) {
  view.Select(kLast);
  Cycle();
  // Switched on after a line: the song that line carried is not sent again.
  announcer.SetOnce(true);
  Play(L"1. Artist - Song - Winamp [Paused]");
  view.events.clear();
  announcer.Tick();
  EXPECT_EQ(view.events, std::vector<std::wstring>{L"timer off"})
      << "a cycle with nothing new neither pauses nor ticks again";
  desk.Remove(player);
  player = 0;
  now_playing.Refresh();
  announcer.Wake();
  EXPECT_EQ(view.events.back(), L"timer on");
  Cycle();  // "Winamp 6 Not Found" is never announced
  Play(L"2. Other - Tune - Winamp");
  announcer.Wake();
  Cycle();
  view.Select(kFirst);  // a client that has not had this song yet, and hangs at first
  desk.At(inputs[kFirst]).hung = true;
  announcer.Wake();
  Cycle();
  desk.At(inputs[kFirst]).hung = false;  // a line given up on was not given
  desk.WorkersBack();
  Cycle();
  Cycle();
  view.Select(kLast);  // the failed line left the other client's record alone
  Cycle();
  EXPECT_EQ(Lines(kLast), (std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song",
                                                     L"{Zurelo 1.0} Now Playing: Other - Tune"}));
  EXPECT_EQ(Lines(kFirst), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Other - Tune"});
  view.Select(kFirst);
  announcer.On(L"2");
  Cycle();
  EXPECT_EQ(Lines(kFirst).size(), 2u);
  Cycle();  // nothing new: asleep
  view.events.clear();
  announcer.SetOnce(false);  // off: the timer wakes, and every cycle sends again
  EXPECT_EQ(view.events, std::vector<std::wstring>{L"timer on"});
  Cycle();
  EXPECT_EQ(Lines(kFirst).size(), 3u);
}

// A line given up whose Enter the client handled in the end was given after all: with the
// once rule the song is not posted again; and the pause starts afresh from the moment it
// went, in the pause after the give-up or between cycles.
TEST_F(AnnouncerTest, ALineTakenAfterTheGiveUpCountsAsGivenAndPausesFromThen) {
  announcer.SetOnce(true);
  view.Select(kLast);
  for (const bool between_cycles : {false, true}) {
    desk.At(inputs[kLast]).late_on = L"char";
    Play(between_cycles ? L"2. Next - Song - Winamp" : L"1. Artist - Song - Winamp");
    announcer.Tick();
    desk.EndLines();  // given up: the pause starts
    ASSERT_EQ(view.pause, 2.0);
    if (between_cycles) Finish();
    clock.now += 1.5;
    desk.WorkersBack();  // the line went after all
    ASSERT_TRUE(announcer.busy()) << between_cycles;
    EXPECT_EQ(view.pause, 2.0) << between_cycles;
    clock.now += 0.5;
    announcer.PauseEnded();  // the end of the pause after the give-up: not the end now
    EXPECT_TRUE(announcer.busy()) << between_cycles;
    EXPECT_DOUBLE_EQ(*view.pause, 1.5) << between_cycles;
    Finish();
    Cycle();
  }
  EXPECT_EQ(Lines(kLast).size(), 2u);
}

}  // namespace
