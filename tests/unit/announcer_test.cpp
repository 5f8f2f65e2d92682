#include "main/announcer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

using platform::Handle;
using zurelo::ChatClient;
// The clients by their rows, in the announcer's order.
const ChatClient* const kAol = &zurelo::kChatClients[0];
const ChatClient* const kAim = &zurelo::kChatClients[1];
const ChatClient* const kYahoo = &zurelo::kChatClients[2];
const ChatClient* const kMirc = &zurelo::kChatClients[3];

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
  void Inform(const std::wstring& text) override { events.push_back(L"inform " + text); }
};

class NoDisplay : public zurelo::SongDisplay {
 public:
  void ShowSong(const std::wstring&) override {}
};

class AnnouncerTest : public ::testing::Test {
 protected:
  AnnouncerTest() {
    Play(L"1. Artist - Song - Winamp");
    // One input box per client, each reachable the way its sender looks for it.
    const Handle aol_room =
        desk.Add(desk.Add(desk.Add(0, L"AOL Frame25"), L"MDIClient"), L"AOL Child");
    for (const wchar_t* part :
         {L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon", L"RICHCNTLREADONLY"})
      desk.Add(aol_room, part);
    inputs[kAol] = desk.Add(aol_room, L"RICHCNTL");
    const Handle aim = desk.Add(0, L"AIM_ChatWnd");
    desk.Add(aim, L"WndAte32Class");
    inputs[kAim] = desk.Add(desk.Add(aim, L"WndAte32Class"), L"Ate32Class");
    inputs[kYahoo] = desk.Add(desk.Add(0, L"IMClass"), L"YIMInputWindow");
    const Handle channel = desk.Add(desk.Add(desk.Add(0, L"mIRC"), L"MDIClient"), L"mIRC_Channel");
    inputs[kMirc] = desk.Add(channel, L"Edit");
    announcer.On(L"2");
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
  // Runs once, at the first dispatch of the next wait.
  void DuringWait(std::function<void()> f) {
    pump.on_dispatch = [f, done = false]() mutable {
      if (done) return;
      done = true;
      f();
    };
  }

  fakes::FakeDesktop desk;
  fakes::ManualClock clock;
  fakes::CountingPump pump{clock};
  chat::ChatSenders chat{desk, pump};
  FakeView view;
  NoDisplay display;
  Handle player = 0;
  zurelo::NowPlaying now_playing{desk, display};
  zurelo::Announcer announcer{view, chat, now_playing, clock, pump};
  std::map<const ChatClient*, Handle> inputs;
};

TEST_F(AnnouncerTest, OnRestartsTheTimerAndOffStopsItEachConfirmed) {
  announcer.On(L"2");
  announcer.Off();
  EXPECT_EQ(view.events,
            (std::vector<std::wstring>{L"timer off", L"timer on", L"inform Zurelo Enabled!!",
                                       L"timer off", L"inform Zurelo Disabled!!"}));
}

TEST_F(AnnouncerTest, TheTimerSleepsWhileItsCycleRunsAndWakesOnlyIfStillOn) {
  view.Select(kMirc);
  DuringWait([&] { announcer.On(L"2"); });  // "On" again during the pause
  announcer.Tick();
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"timer off",
                                                    L"inform Zurelo Enabled!!", L"timer on"}));
  view.events.clear();
  DuringWait([&] { announcer.Off(); });
  announcer.Tick();
  EXPECT_EQ(view.events,
            (std::vector<std::wstring>{L"timer off", L"timer off", L"inform Zurelo Disabled!!"}));
}

TEST_F(AnnouncerTest, EachClientGetsPrefixAndSongJoinedAsTheyAre) {
  for (const auto c : {kAol, kAim, kYahoo, kMirc}) {
    view.Select(c);
    announcer.Tick();
    EXPECT_EQ(Lines(c), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song"});
  }
  EXPECT_EQ(AllLines(), 4u);
}

TEST_F(AnnouncerTest, NoOptionSendsNothingAndDoesNotWait) {
  announcer.Tick();
  EXPECT_EQ(AllLines(), 0u);
  EXPECT_EQ(pump.waits, 0);
}

TEST_F(AnnouncerTest, WaitsThePauseItWasStartedWithAfterSending) {
  view.Select(kMirc);
  const double start = clock.now;
  DuringWait([&] { EXPECT_EQ(Lines(kMirc).size(), 1u); });
  announcer.Tick();
  EXPECT_GE(clock.now - start, 2.0);
}

TEST_F(AnnouncerTest, PauseWithoutLeadingNumberDoesNotWait) {
  view.Select(kMirc);
  for (const wchar_t* p : {L"", L"abc"}) {
    announcer.On(p);
    announcer.Tick();
  }
  EXPECT_EQ(Lines(kMirc).size(), 2u);
  EXPECT_EQ(pump.waits, 0);
}

TEST_F(AnnouncerTest, LaterOptionChosenDuringTheWaitGetsItsLineInTheSameCycle) {
  view.Select(kAim);
  DuringWait([&] {
    view.Select(kMirc);
    Play(L"2. Other - Tune - Winamp");
  });
  announcer.Tick();
  EXPECT_EQ(Lines(kAim).size(), 1u);
  EXPECT_EQ(Lines(kMirc), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Other - Tune"});
}

TEST_F(AnnouncerTest, EarlierOptionChosenDuringTheWaitWaitsForTheNextCycle) {
  view.Select(kYahoo);
  DuringWait([&] { view.Select(kAol); });
  announcer.Tick();
  EXPECT_EQ(Lines(kAol).size(), 0u);
  announcer.Tick();
  EXPECT_EQ(Lines(kAol).size(), 1u);
  EXPECT_EQ(Lines(kYahoo).size(), 1u);
}

TEST_F(AnnouncerTest, AFailedCycleLeavesTheAnnouncerFreeAndItsTimerAwake) {
  view.Select(kMirc);
  view.fail_prefix = true;
  EXPECT_ANY_THROW(announcer.Tick());  // the window procedure stops it
  EXPECT_FALSE(announcer.busy());
  EXPECT_EQ(view.events, (std::vector<std::wstring>{L"timer off", L"timer on"}));
  view.fail_prefix = false;
  announcer.Tick();
  EXPECT_EQ(Lines(kMirc).size(), 1u);
}

TEST_F(AnnouncerTest, TickDuringTheWaitIsIgnored) {
  view.Select(kMirc);
  bool busy_inside = false;
  pump.on_dispatch = [&] {
    busy_inside = announcer.busy();
    announcer.Tick();
  };
  announcer.Tick();
  EXPECT_TRUE(busy_inside);
  EXPECT_FALSE(announcer.busy());
  EXPECT_EQ(Lines(kMirc).size(), 1u);
}

TEST_F(AnnouncerTest, PrefixAndSongChangedDuringTheWaitAreSentNextTime) {
  view.Select(kMirc);
  DuringWait([&] {
    view.prefix = L"np: ";
    Play(L"3. B - C - Winamp");
  });
  announcer.Tick();
  announcer.Tick();
  EXPECT_EQ(Lines(kMirc),
            (std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song", L"np: B - C"}));
}

// Once: a song goes to a client once (a line given up on does not count); paused, stopped
// or gone, nothing is sent and the timer sleeps without a pause until the song or the
// choice changes; "On" forgets.
TEST_F(AnnouncerTest, OnceSendsEachSongOnceAndSleepsUntilSomethingChanges) {
  view.Select(kMirc);
  announcer.Tick();
  // Switched on after a line: the song that line carried is not sent again.
  announcer.SetOnce(true);
  Play(L"1. Artist - Song - Winamp [Paused]");
  view.events.clear();
  const int waits = pump.waits;
  announcer.Tick();
  EXPECT_EQ(view.events, std::vector<std::wstring>{L"timer off"}) << "no tick while nothing new";
  EXPECT_EQ(pump.waits, waits) << "a cycle that sends nothing does not pause";
  desk.Remove(player);
  player = 0;
  now_playing.Refresh();
  announcer.Wake();
  EXPECT_EQ(view.events.back(), L"timer on");
  announcer.Tick();  // "Winamp 6 Not Found" is never announced
  Play(L"2. Other - Tune - Winamp");
  announcer.Wake();
  announcer.Tick();
  view.Select(kAim);  // a client that has not had this song yet, and hangs at first
  desk.At(inputs[kAim]).hung = true;
  announcer.Wake();
  announcer.Tick();
  desk.At(inputs[kAim]).hung = false;  // a line given up on was not given
  announcer.Tick();
  announcer.Tick();
  EXPECT_EQ(Lines(kMirc), (std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Artist - Song",
                                                     L"{Zurelo 1.0} Now Playing: Other - Tune"}));
  EXPECT_EQ(Lines(kAim), std::vector<std::wstring>{L"{Zurelo 1.0} Now Playing: Other - Tune"});
  announcer.On(L"2");
  announcer.Tick();
  EXPECT_EQ(Lines(kAim).size(), 2u);
  announcer.SetOnce(false);  // off: every cycle sends again
  announcer.Tick();
  EXPECT_EQ(Lines(kAim).size(), 3u);
}

}  // namespace
