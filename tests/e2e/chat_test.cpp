// The announcer typing the now-playing line into each chat client: the exact text (as it is
// for the Unicode mIRC input, in the ANSI code page for the others), the Enter or button
// activation after it, the pause between lines, Off, a client whose windows are replaced,
// a slow client and one that stops answering.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fixture.h"
#include "peers/peer_protocol.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kPrefix[] = "{Zurelo 1.0} Now Playing: ";
using Events = std::vector<std::string>;

// A song in three scripts, with a tab and a line break in it, and what reaches the chat
// line: the control characters as blanks, and for an ANSI input what the window system's
// conversion to code page 1252 makes of the rest (é has its byte there).
constexpr wchar_t kMixedTitle[] = L"2. Café\tTacvba\r\nŁódź При 日本 - Eres - Winamp";
constexpr wchar_t kMixedSong[] = L"Café\tTacvba\r\nŁódź При 日本 - Eres";
constexpr char kMixedUtf8[] = u8"Café Tacvba  Łódź При 日本 - Eres";
constexpr char kMixed1252[] =
    "Caf\xE9 Tacvba  L\xF3"
    "dz ??? ?? - Eres";

// What a client's windows receive for one announcement of line (in the logged form).
Events AolCycle(const std::string& line) {
  return {SetTextEvent("aol.edit", line), MessageEvent("aol.edit", "WM_CHAR", 13),
          SentEvent("aol.edit", line)};
}
Events AimCycle(const std::string& line) {
  return {SetTextEvent("aim.edit", line), MessageEvent("aim.button5", "WM_LBUTTONDOWN", 13),
          MessageEvent("aim.button5", "WM_LBUTTONUP", 13), ClickedEvent("aim.button5"),
          SentEvent("aim.edit", line)};
}
Events YahooCycle(const std::string& line) {
  return {SetTextEvent("yahoo.edit", line),
          MessageEvent("yahoo.button4", "WM_LBUTTONDOWN", 13),
          MessageEvent("yahoo.button4", "WM_KEYDOWN", 0x20),
          MessageEvent("yahoo.button4", "WM_KEYUP", 0x20),
          ClickedEvent("yahoo.button4"),
          SentEvent("yahoo.edit", line)};
}
Events MircCycle(const std::string& line) {
  return {SetTextEvent("mirc.edit", line), MessageEvent("mirc.edit", "WM_CHAR", 13),
          SentEvent("mirc.edit", line)};
}

struct Client {
  const char* name;
  const char* role;
  int option;
  Events (*cycle)(const std::string&);
  bool unicode;  // the client's input is a Unicode window
};

// Test names and failure messages show the client by name.
void PrintTo(const Client& client, std::ostream* os) {
  *os << client.name;
}

// Each client's stand-in, by its option button.
const Client kClients[] = {
    {"Aol", "aol", ids::kAolOption, &AolCycle, false},
    {"Aim", "aim", ids::kAimOption, &AimCycle, false},
    {"Yahoo", "yahoo", ids::kYahooOption, &YahooCycle, false},
    {"Mirc", "mirc", ids::kMircOption, &MircCycle, true},
};

// The stand-in of the client with this option button; one with no role when there is none.
const Client& ClientFor(int option) {
  static const Client kMissing{"Missing", nullptr, 0, nullptr, false};
  for (const Client& c : kClients) {
    if (c.option == option) return c;
  }
  return kMissing;
}

// One entry for each row of the program's table of clients, in its order.
std::vector<Client> EveryClient() {
  std::vector<Client> out;
  for (const zurelo::ChatClient& row : zurelo::kChatClients) {
    out.push_back(ClientFor(row.option_id));
    out.back().option = row.option_id;
  }
  return out;
}

Events Concat(Events a, const Events& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Events First(const Events& events, std::size_t n) {
  return Events(events.begin(),
                events.begin() + static_cast<std::ptrdiff_t>(std::min(n, events.size())));
}

// Index of the first log line for which pred holds, or -1.
template <typename Pred>
int IndexOf(const std::vector<PeerEvent>& events, Pred pred, int from = 0) {
  for (int i = std::max(from, 0); i < static_cast<int>(events.size()); ++i) {
    if (pred(events[static_cast<std::size_t>(i)])) return i;
  }
  return -1;
}

// Whether the peer logged a line whose first two words are these.
bool Logged(const Peer& peer, const std::string& window, const std::string& what) {
  const std::vector<PeerEvent> all = peer.log().All();
  return IndexOf(all, [&](const PeerEvent& e) { return e.window == window && e.what == what; }) >=
         0;
}

// Whether the peer logged exactly this event.
bool LoggedEvent(const Peer& peer, const std::string& event) {
  const std::vector<PeerEvent> all = peer.log().All();
  return IndexOf(all, [&](const PeerEvent& e) { return e.line == event; }) >= 0;
}

// Whether the user's keys went into this input.
bool TypedInto(const Peer& peer, const std::string& input) {
  const std::vector<PeerEvent> all = peer.log().All();
  return IndexOf(all, [&](const PeerEvent& e) {
           return e.window == "typed" && e.fields.count("into") && e.fields.at("into") == input;
         }) >= 0;
}

std::size_t CountLogged(const Peer& peer, const std::string& window, const std::string& what) {
  const std::vector<PeerEvent> all = peer.log().All();
  return static_cast<std::size_t>(std::count_if(all.begin(), all.end(), [&](const PeerEvent& e) {
    return e.window == window && e.what == what;
  }));
}

class ChatTest : public E2eTest {
 protected:
  // A player, the client's peer and the program, with the client chosen and the pause set.
  void StartWith(const Client& client, const wchar_t* pause,
                 const std::vector<std::wstring>& player_options = {}) {
    ASSERT_NE(client.role, nullptr) << "no stand-in for the client of option " << client.option;
    StoreSetting(L"Pause", L"Pause1", pause);
    player_ = StartPeer("player", L"1. Artist - Song - Winamp", player_options);
    ASSERT_NE(player_, nullptr);
    peer_ = StartPeer(client.role);
    ASSERT_NE(peer_, nullptr);
    ASSERT_TRUE(StartZurelo(L"Artist - Song"));
    zurelo_.Click(client.option);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(client.option)); }));
  }

  Peer* player_ = nullptr;
  Peer* peer_ = nullptr;
};

class EachClientTest : public ChatTest, public ::testing::WithParamInterface<Client> {};

TEST_P(EachClientTest, AnnouncesEachPauseUntilOff) {
  const Client& client = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartWith(client, L"2"));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");

  const Events first = client.cycle(std::string(kPrefix) + "Artist - Song");
  ASSERT_TRUE(peer_->WaitEvents(first.size()));
  EXPECT_EQ(First(peer_->log().Events(), first.size()), first);

  // During the pause: a song in three scripts with control characters, shown as read, and a
  // client whose windows are all new, so the next line must be read afresh and sent to
  // freshly found windows.
  ASSERT_TRUE(SetText(player_->Top(), kMixedTitle));
  ASSERT_TRUE(zurelo_.WaitLabel(kMixedSong)) << ::testing::PrintToString(zurelo_.Label());
  PostMessageW(peer_->Top(), peer::kChurnMessage, 0, 0);
  ASSERT_TRUE(peer_->WaitReady(2));

  const Events both = Concat(
      first, client.cycle(std::string(kPrefix) + (client.unicode ? kMixedUtf8 : kMixed1252)));
  ASSERT_TRUE(peer_->WaitEvents(both.size()));
  const std::vector<PeerEvent> all = peer_->log().All();
  const int rebuilt = IndexOf(all, [](const PeerEvent& e) {
    return e.window == "ready" && e.fields.count("gen") && e.fields.at("gen") == "2";
  });
  auto is_text = [](const PeerEvent& e) { return e.what == "WM_SETTEXT"; };
  const int second = IndexOf(all, is_text, IndexOf(all, is_text) + 1);
  EXPECT_LT(rebuilt, second) << "the second line came before the windows were replaced";

  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  const Events after_off = peer_->log().Events();
  EXPECT_EQ(First(after_off, both.size()), both);
  // The pause was kept: Off came during the second pause, so at most that line went out.
  EXPECT_EQ(after_off.size(), both.size());
  // Off: the pause runs out and no further line follows.
  Pause(3s);
  EXPECT_EQ(peer_->log().Events().size(), after_off.size());
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());
}

INSTANTIATE_TEST_SUITE_P(Clients, EachClientTest, ::testing::ValuesIn(EveryClient()),
                         [](const ::testing::TestParamInfo<Client>& info) {
                           return std::string(info.param.name) +
                                  (info.param.role ? "" : std::to_string(info.param.option));
                         });

// With nothing chosen nothing goes out. Then AOL and Yahoo! are chosen in turn, and the user
// types into their boxes right after our text arrives: the line is not sent, and the box
// keeps what they typed. Then mIRC is chosen, with the prefix emptied and a station title
// beginning with "/": the song never reaches mIRC as a command, nor does it under a line's
// format of the user's.
TEST_F(ChatTest, NoClientChosenSendsNothingAndASongIsNeverACommand) {
  StoreSetting(L"Pause", L"Pause1", L"1");
  Peer* player = StartPeer("player", L"1. Artist - Song - Winamp", {L"--answers", L"winamp"});
  ASSERT_NE(player, nullptr);
  std::vector<Peer*> clients;
  Peer* mirc = nullptr;
  std::map<int, Peer*> by_option;
  for (const Client& c : EveryClient()) {
    ASSERT_NE(c.role, nullptr) << "no stand-in for the client of option " << c.option;
    clients.push_back(StartPeer(c.role));
    ASSERT_NE(clients.back(), nullptr);
    by_option[c.option] = clients.back();
    if (c.option == ids::kMircOption) mirc = clients.back();
  }
  ASSERT_NE(mirc, nullptr);
  ASSERT_TRUE(StartZurelo(L"Artist - Song"));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  Pause(1500ms);
  for (Peer* p : clients) EXPECT_EQ(p->log().Events(), Events{});
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty());

  const std::string line = std::string(kPrefix) + "Artist - Song";
  for (const auto& [option, input] :
       {std::pair{ids::kAolOption, "aol.edit"}, std::pair{ids::kYahooOption, "yahoo.edit"}}) {
    Peer* peer = by_option[option];
    PostMessageW(peer->Top(), peer::kTypeAfterTextMessage, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Logged(*peer, "armed", "type"); }));
    zurelo_.Click(option);
    // Our text, then the box set back to what the user typed, with no Enter or click between.
    ASSERT_TRUE(peer->WaitEvents(2)) << input;
    EXPECT_EQ(First(peer->log().Events(), 2),
              (Events{SetTextEvent(input, line), SetTextEvent(input, "lo")}))
        << ::testing::PrintToString(peer->log().Events());
    for (const PeerEvent& e : peer->log().All()) {
      if (e.what == "sent") {
        EXPECT_EQ(e.Bytes(), line) << input;
      }
    }
  }

  ASSERT_TRUE(SetText(zurelo_.Item(ids::kPrefixBox), L""));
  ASSERT_TRUE(SetText(player->Top(), L"1. /quit bye - Winamp"));
  ASSERT_TRUE(zurelo_.WaitLabel(L"/quit bye"));
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(mirc->WaitEvents(1));
  EXPECT_EQ(mirc->log().Events().front(), SetTextEvent("mirc.edit", u8"\u2215quit bye"));

  // A line's format of the user's, saved in the formats window, with a preview of the line:
  // the title, the artist and the length the player tells, in a command of the user's, where
  // the song's "|" is only text.
  PostMessageW(zurelo_.main(), WM_SYSCOMMAND, ids::kFormatsCommand, 0);
  const HWND formats = WaitTopLevel(kFormatsClass, zurelo_.pid());
  ASSERT_NE(formats, nullptr);
  const std::wstring format = L"/me is listening to {title} by {artist} [{length}]";
  ASSERT_TRUE(SetText(GetDlgItem(formats, ids::kLineFormatBox), format));
  PostClick(GetDlgItem(formats, ids::kSaveLineButton));
  ASSERT_TRUE(WaitUntil([&] { return StoredSetting(L"Line", L"Format1") == format; }));
  ASSERT_TRUE(player->SetAnswer(peer::kAnswerLengthSeconds, 245));
  ASSERT_TRUE(SetText(player->Top(), L"1. Daft | Punk - One - Winamp"));
  ASSERT_TRUE(zurelo_.WaitLabel(L"Daft | Punk - One"));
  EXPECT_TRUE(WaitUntil([&] {
    return TextOf(GetDlgItem(formats, ids::kLinePreview)) ==
           L"Now: /me is listening to One by Daft | Punk [4:05]";
  }));
  EXPECT_TRUE(WaitUntil([&] {
    return LoggedEvent(
        *mirc, SetTextEvent("mirc.edit", u8"/me is listening to One by Daft \u2223 Punk [4:05]"));
  }));
  // One that would leave the song in its command is refused at On, saying why (switched off
  // first, so the box is On's and not that of a line refused on the way).
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  ASSERT_TRUE(SetText(GetDlgItem(formats, ids::kLineFormatBox), L"/me{title}"));
  PostClick(GetDlgItem(formats, ids::kSaveLineButton));
  ASSERT_TRUE(WaitUntil([&] { return StoredSetting(L"Line", L"Format1") == L"/me{title}"; }));
  const std::wstring said = zurelo_.ClickAndConfirm(ids::kOnButton);
  EXPECT_NE(said.find(L"before the first placeholder"), std::wstring::npos) << said;
  Pause(1500ms);
  EXPECT_TRUE(MessageBoxes(zurelo_.pid()).empty()) << "a refused On sent a line after all";
}

TEST_F(ChatTest, OffDuringAPauseStillServesAClientChosenMeanwhile) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kAolOption), L"2"));
  Peer* mirc = StartPeer("mirc");
  ASSERT_NE(mirc, nullptr);
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  const std::string line = std::string(kPrefix) + "Artist - Song";
  ASSERT_TRUE(peer_->WaitEvents(AolCycle(line).size()));

  // During the pause after the AOL line: choose mIRC, then switch off. The running cycle
  // looks at the later options when its pause ends, and so still serves mIRC once.
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  ASSERT_TRUE(mirc->WaitEvents(MircCycle(line).size()));
  Pause(3s);
  EXPECT_EQ(peer_->log().Events(), AolCycle(line));
  EXPECT_EQ(mirc->log().Events(), MircCycle(line));
}

// Lines go on under any box or dialog on screen: the pause ends and the next line goes out
// while "Zurelo Enabled!!" is up, and while the log's save dialog is; and while the player
// hangs over a question.
TEST_F(ChatTest, LineIsThePrefixBoxTextAsTypedAndBoxesHoldNoLine) {
  const std::wstring file = dir_.File(L"nowplaying.txt");
  StoreSetting(L"File", L"File1", file);
  ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kMircOption), L"1", {L"--answers", L"winamp"}));
  // Omega and a character beyond the first plane, which code page 1252 lacks, reach the
  // Unicode input as they are.
  ASSERT_TRUE(SetText(zurelo_.Item(ids::kPrefixBox), L"\u03A9 \U0001F3B5 on air: "));
  zurelo_.Click(ids::kOnButton);
  const std::optional<Box> box = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Zurelo Enabled!!");
  const Events expected = MircCycle(u8"\u03A9 \U0001F3B5 on air: Artist - Song");
  ASSERT_TRUE(peer_->WaitEvents(3 * expected.size()))
      << "the lines stopped under the box: " << ::testing::PrintToString(peer_->log().Events());
  EXPECT_EQ(First(peer_->log().Events(), expected.size()), expected);
  EXPECT_TRUE(IsWindowVisible(box->hwnd));

  // Enter on the box's focused button must still close the box.
  const HWND focus = FocusOf(box->hwnd);
  ASSERT_NE(focus, nullptr);
  ASSERT_EQ(GetAncestor(focus, GA_ROOT), box->hwnd);
  PostKey(focus, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->hwnd) || !IsWindowVisible(box->hwnd); }))
      << "Enter did nothing on the box during the pause";

  PostAltKey(zurelo_.Item(ids::kLogToggleButton), 'S');
  const HWND dialog = WaitFileDialog(zurelo_.pid());
  ASSERT_NE(dialog, nullptr);
  const std::size_t before = peer_->log().Events().size();
  EXPECT_TRUE(peer_->WaitEvents(before + 2 * expected.size()))
      << "the lines stopped under the save dialog";
  EXPECT_TRUE(IsWindowVisible(dialog));
  ASSERT_TRUE(CancelFileDialog(dialog, L""));

  // The player hangs over the question its next title brings: the label and the file follow
  // that title, and the lines with its song go out, all while the player hangs. Once it is
  // back it is asked again.
  PostMessageW(player_->Top(), peer::kHangOnQuestionMessage, 8000, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*player_, "armed", "question"); }));
  ASSERT_TRUE(SetText(player_->Top(), L"2. While - Asked - Winamp"));
  ASSERT_TRUE(WaitUntil([&] { return Logged(*player_, "hang", "begin"); }, 5s));
  EXPECT_TRUE(zurelo_.WaitLabel(L"While - Asked", 5s));
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(file) == "\xEF\xBB\xBFWhile - Asked"; }, 5s))
      << ::testing::PrintToString(ReadBytes(file).value_or("(no file)"));
  const Events asked = MircCycle(u8"\u03A9 \U0001F3B5 on air: While - Asked");
  EXPECT_TRUE(WaitUntil(
      [&] {
        const Events now = peer_->log().Events();
        return std::search(now.begin(), now.end(), asked.begin(), asked.end()) != now.end();
      },
      5s))
      << ::testing::PrintToString(peer_->log().Events());
  EXPECT_FALSE(Logged(*player_, "hang", "end")) << "something waited for the player's answer";
  ASSERT_TRUE(WaitUntil([&] { return Logged(*player_, "hang", "end"); }, 15s));
  const std::size_t asked_before = CountLogged(*player_, "asked", "");
  EXPECT_TRUE(WaitUntil([&] { return CountLogged(*player_, "asked", "") > asked_before; }, 10s));
}

// Announce each song once (the system menu's choice, stored at once): at pause 0 a song
// goes out once, paused is the same song, a new song goes out once more. What the user was
// typing in the chat box is back in it after each line, with the keys they typed while it
// was read or while our line was in the box, whether the client empties its box at once,
// late, or never.
TEST_F(ChatTest, OnceAnnouncesEachSongOnceAndTheUsersDraftIsKept) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kMircOption), L"0"));
  PostMessageW(zurelo_.main(), WM_SYSCOMMAND, 0x0110, 0);
  ASSERT_TRUE(zurelo_.Sync());
  EXPECT_EQ(StoredSetting(L"Once", L"Once1"), L"1");
  HWND input =
      FindWindowExW(FindWindowExW(FindWindowExW(peer_->Top(), nullptr, L"mdiclient", nullptr),
                                  nullptr, L"mirc_channel", nullptr),
                    nullptr, L"edit", nullptr);
  ASSERT_NE(input, nullptr);
  ASSERT_TRUE(SetText(input, L"brb, \u00e9l\u00e8ve"));
  SendMessageW(input, EM_SETSEL, 10, 10);
  // The user types on while the draft is read, between its length and its text.
  PostMessageW(peer_->Top(), peer::kTypeOnLengthMessage, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "armed", "type"); }));
  const std::string typed = SetTextEvent("mirc.edit", u8"brb, \u00e9l\u00e8ve");
  const std::string draft = SetTextEvent("mirc.edit", u8"brb, \u00e9l\u00e8ve more");
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");

  const Events first =
      Concat(Concat({typed}, MircCycle(std::string(kPrefix) + "Artist - Song")), {draft});
  ASSERT_TRUE(peer_->WaitEvents(first.size()));
  const auto selection = static_cast<DWORD>(SendMessageW(input, EM_GETSEL, 0, 0));
  EXPECT_EQ(LOWORD(selection), 15);
  EXPECT_EQ(HIWORD(selection), 15);
  ASSERT_TRUE(SetText(player_->Top(), L"1. Artist - Song - Winamp [Paused]"));
  Pause(1500ms);
  EXPECT_EQ(peer_->log().Events(), first);
  // Another client chosen meanwhile gets the song at once; chosen again, mIRC gets nothing.
  Peer* aol = StartPeer("aol");
  ASSERT_NE(aol, nullptr);
  zurelo_.Click(ids::kAolOption);
  const Events aol_first = AolCycle(std::string(kPrefix) + "Artist - Song");
  EXPECT_TRUE(aol->WaitEvents(aol_first.size())) << "choosing a client woke nothing";
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));
  Pause(1500ms);
  EXPECT_EQ(aol->log().Events(), aol_first);
  EXPECT_EQ(peer_->log().Events(), first);
  // The client empties its box a little after it has posted the line.
  PostMessageW(peer_->Top(), peer::kEmptyLateMessage, 400, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "armed", "empty"); }));
  ASSERT_TRUE(SetText(player_->Top(), L"2. Next - Song - Winamp"));
  const Events both =
      Concat(Concat(first, MircCycle(std::string(kPrefix) + "Next - Song")), {draft});
  ASSERT_TRUE(peer_->WaitEvents(both.size()));
  Pause(1500ms);
  EXPECT_EQ(peer_->log().Events(), both);
  EXPECT_EQ(TextOf(input), L"brb, \u00e9l\u00e8ve more");
  PostMessageW(peer_->Top(), peer::kEmptyLateMessage, 0, 0);

  // The client hangs right after taking the next text, longer than it takes to be reported
  // hung, and the user types into the box that holds our line. The line is given up and
  // nothing more is sent: no late Enter. Once the client is back the box holds the draft
  // and what the user typed, and the song, never posted, goes out once.
  PostMessageW(peer_->Top(), peer::kHangAfterTextMessage, 8000, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "armed", "hang"); }));
  PostMessageW(peer_->Top(), peer::kTypeAfterTextMessage, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return CountLogged(*peer_, "armed", "type") == 2; }));
  ASSERT_TRUE(SetText(player_->Top(), L"3. Third - Song - Winamp"));
  const std::string third = std::string(kPrefix) + "Third - Song";
  const std::string draft_lo = SetTextEvent("mirc.edit", u8"brb, \u00e9l\u00e8ve morelo");
  const Events all =
      Concat(Concat(Concat(both, {SetTextEvent("mirc.edit", third), draft_lo}), MircCycle(third)),
             {draft_lo});
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "hang", "end"); }, 15s));
  ASSERT_TRUE(peer_->WaitEvents(all.size()));
  Pause(1500ms);
  EXPECT_EQ(peer_->log().Events(), all);

  // A client that never empties its box: the draft takes the place of our line.
  PostMessageW(peer_->Top(), peer::kEmptyLateMessage, peer::kNeverEmpty, 0);
  ASSERT_TRUE(WaitUntil([&] { return CountLogged(*peer_, "armed", "empty") == 3; }));
  ASSERT_TRUE(SetText(player_->Top(), L"4. Fourth - Song - Winamp"));
  const Events last =
      Concat(Concat(all, MircCycle(std::string(kPrefix) + "Fourth - Song")), {draft_lo});
  ASSERT_TRUE(peer_->WaitEvents(last.size()));
  Pause(1500ms);
  EXPECT_EQ(peer_->log().Events(), last);
  EXPECT_EQ(CountLogged(*peer_, "mirc.edit", "sent"), 4u);
  EXPECT_EQ(TextOf(input), L"brb, \u00e9l\u00e8ve morelo");
}

// A line goes only where it was typed. Another conversation brought forward while our text
// arrives gets neither the click (AIM) nor the Enter (mIRC), which would send the user's
// words waiting there; and words the user types right after our text are never sent.
TEST_F(ChatTest, ALineGoesOnlyWhereItWasTyped) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kAimOption), L"2"));
  Peer* mirc = StartPeer("mirc");
  ASSERT_NE(mirc, nullptr);
  const HWND chat = peer_->Top();
  PostMessageW(chat, peer::kSwitchOnTextMessage, 0, 0);
  HWND other = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : TopLevelWindows(L"aim_chatwnd", peer_->pid())) {
      if (w != chat) other = w;
    }
    return other != nullptr && Logged(*peer_, "armed", "switch");
  }));
  ASSERT_EQ(FindWindowW(L"aim_chatwnd", nullptr), chat) << "the second chat came in front";
  const HWND other_input =
      FindWindowExW(FindWindowExW(other, FindWindowExW(other, nullptr, L"wndate32class", nullptr),
                                  L"wndate32class", nullptr),
                    nullptr, L"ate32class", nullptr);
  ASSERT_NE(other_input, nullptr);
  ASSERT_TRUE(SetText(other_input, L"draft to my boss: i quit"));
  const HWND mdi = FindWindowExW(mirc->Top(), nullptr, L"mdiclient", nullptr);
  const HWND channel1 = FindWindowExW(mdi, nullptr, L"mirc_channel", nullptr);
  const HWND channel1_input = FindWindowExW(channel1, nullptr, L"edit", nullptr);
  const HWND channel2_input = FindWindowExW(FindWindowExW(mdi, channel1, L"mirc_channel", nullptr),
                                            nullptr, L"edit", nullptr);
  ASSERT_NE(channel2_input, nullptr);
  ASSERT_TRUE(SetText(channel2_input, L"half-typed secret, not for #channel2 yet"));
  // The first line to mIRC: the user, with a draft in the box, types into it right after our
  // text arrives.
  ASSERT_TRUE(SetText(channel1_input, L"half a thought"));
  SendMessageW(channel1_input, EM_SETSEL, 14, 14);
  PostMessageW(mirc->Top(), peer::kTypeAfterTextMessage, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*mirc, "armed", "type"); }));
  // The line to AIM: the user types while the client answers the third read of its box after
  // our text; no read may stand between the last look at the box and the click.
  PostMessageW(chat, peer::kTypeAfterTextMessage, 3, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "armed", "type"); }));

  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  const std::string line = std::string(kPrefix) + "Artist - Song";
  ASSERT_TRUE(WaitUntil([&] { return Logged(*peer_, "aim.edit", "sent"); }))
      << ::testing::PrintToString(peer_->log().Events());
  // During the pause: mIRC comes later in the order, so its turn comes in this cycle.
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return TypedInto(*mirc, "mirc.edit"); }));
  // The box is set back before the next trigger is armed: setting it back is a text too.
  ASSERT_TRUE(WaitUntil([&] { return TextOf(channel1_input) == L"half a thoughtlo"; }));
  // The next line: the second channel comes forward as our text arrives.
  PostMessageW(mirc->Top(), peer::kSwitchOnTextMessage, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return Logged(*mirc, "armed", "switch"); }));
  ASSERT_TRUE(WaitUntil([&] { return Logged(*mirc, "mirc.edit", "sent"); }))
      << ::testing::PrintToString(mirc->log().Events());
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOffButton), L"Zurelo: Zurelo Disabled!!");
  Pause(2500ms);

  const Events aim = peer_->log().Events(), to_aim = AimCycle(line);
  EXPECT_NE(std::search(aim.begin(), aim.end(), to_aim.begin(), to_aim.end()), aim.end())
      << ::testing::PrintToString(aim);
  EXPECT_TRUE(LoggedEvent(*peer_, "switched to=aim2.main"));
  EXPECT_FALSE(Logged(*peer_, "aim2.button5", "clicked"));
  EXPECT_FALSE(Logged(*peer_, "aim2.edit", "sent"));
  EXPECT_EQ(platform::win32::AnsiTextOf(other_input), "draft to my boss: i quit");

  EXPECT_TRUE(LoggedEvent(*mirc, "switched to=mirc.channel2"));
  EXPECT_FALSE(Logged(*mirc, "mirc.channel2.edit", "sent"));
  EXPECT_EQ(TextOf(channel2_input), L"half-typed secret, not for #channel2 yet");
  // Only the second line went, whole; the draft and what the user typed over the first are
  // back in the box, and nothing of ours.
  const std::vector<PeerEvent> all = mirc->log().All();
  std::vector<std::string> sent;
  for (const PeerEvent& e : all) {
    if (e.what == "sent") sent.push_back(e.window + ": " + e.Bytes());
  }
  EXPECT_EQ(sent, std::vector<std::string>{"mirc.edit: " + line});
  EXPECT_EQ(TextOf(channel1_input), L"half a thoughtlo");
}

// At pause 0 lines follow each other as fast as the client takes them. With a core kept
// busy a line's worker can be slow to start, and the announcer must never stop on one:
// each round starts afresh, and lines must keep coming in every 2 s of it.
TEST_F(ChatTest, NeverStopsAtPauseZeroBesideABusyCore) {
  std::atomic<bool> stop{false};
  std::thread busy([&stop] {
    while (!stop.load(std::memory_order_relaxed)) {
    }
  });
  struct Join {
    std::atomic<bool>& stop;
    std::thread& busy;
    ~Join() {
      stop.store(true);
      busy.join();
    }
  } join{stop, busy};

  for (int round = 0; round < 4; ++round) {
    ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kMircOption), L"0"));
    EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
    std::size_t seen = 0;
    for (int window = 0; window < 3; ++window) {
      Pause(2s);
      const std::size_t now = peer_->log().Events().size();
      ASSERT_GT(now, seen) << "round " << round << ": the lines stopped after " << now / 3;
      seen = now;
    }
    zurelo_.Stop();
    for (auto& peer : peers_) peer->Stop();
    peers_.clear();
  }
}

TEST_F(ChatTest, SlowClientGetsWholeLinesAndAHungOneIsGivenUp) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ClientFor(ids::kMircOption), L"2"));
  auto has = [&](const char* window, const char* what) {
    const std::vector<PeerEvent> all = peer_->log().All();
    return IndexOf(all, [&](const PeerEvent& e) { return e.window == window && e.what == what; }) >=
           0;
  };

  // A client that takes 3 s over each message: slow, but never reported hung.
  PostMessageW(peer_->Top(), peer::kSlowMessage, 3000, 0);
  ASSERT_TRUE(WaitUntil([&] { return has("slow", "begin"); }));
  EXPECT_EQ(zurelo_.ClickAndConfirm(ids::kOnButton), L"Zurelo: Zurelo Enabled!!");
  const Events slow = MircCycle(std::string(kPrefix) + "Artist - Song");
  ASSERT_TRUE(peer_->WaitEvents(1));
  // While the client is still over the text, the label follows the player, and a box
  // opened now ("On" again) does not hold back the rest of the line.
  ASSERT_TRUE(SetText(player_->Top(), L"2. While - Sending - Winamp"));
  EXPECT_TRUE(zurelo_.WaitLabel(L"While - Sending", 5s));
  EXPECT_EQ(peer_->log().Events().size(), 1u) << "the label only moved after the send";
  zurelo_.Click(ids::kOnButton);
  const std::optional<Box> box = WaitMessageBox(zurelo_.pid());
  ASSERT_TRUE(box.has_value());
  // The Enter follows the text, however long the client took over it.
  ASSERT_TRUE(peer_->WaitEvents(slow.size(), 15s))
      << ::testing::PrintToString(peer_->log().Events());
  EXPECT_EQ(First(peer_->log().Events(), slow.size()), slow);
  EXPECT_TRUE(IsWindowVisible(box->hwnd)) << "the box was closed before the line ended";
  ASSERT_TRUE(CloseBox(*box));
  PostMessageW(peer_->Top(), peer::kSlowMessage, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return has("slow", "end"); }, 15s));

  // A client that stops answering while it handles the Enter is given up, and the announcer
  // goes on.
  Peer* yahoo = StartPeer("yahoo");
  ASSERT_NE(yahoo, nullptr);
  PostMessageW(peer_->Top(), peer::kHangOnSendMessage, 15000, 0);
  ASSERT_TRUE(WaitUntil([&] { return has("hang", "begin"); }, 10s));

  // While the client hangs, the label keeps following the player.
  for (const wchar_t* song : {L"During - The Hang", L"Still - Hanging"}) {
    ASSERT_TRUE(SetText(player_->Top(), std::wstring(L"3. ") + song + L" - Winamp"));
    EXPECT_TRUE(zurelo_.WaitLabel(song, 5s)) << ::testing::PrintToString(zurelo_.Label());
    EXPECT_FALSE(has("hang", "end")) << "the label only moved after the hang";
  }
  // Given up on, the hung client no longer holds the announcer: a client chosen now gets
  // its line while the hang still lasts.
  zurelo_.Click(ids::kYahooOption);
  const Events to_yahoo = YahooCycle(std::string(kPrefix) + "Still - Hanging");
  EXPECT_TRUE(yahoo->WaitEvents(to_yahoo.size(), 12s))
      << ::testing::PrintToString(yahoo->log().Events());
  EXPECT_EQ(First(yahoo->log().Events(), to_yahoo.size()), to_yahoo);
  EXPECT_FALSE(has("hang", "end")) << "the announcer waited out the hang";
  zurelo_.Click(ids::kMircOption);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(zurelo_.Item(ids::kMircOption)); }));

  ASSERT_TRUE(SetText(player_->Top(), L"4. After - The Hang - Winamp"));
  ASSERT_TRUE(WaitUntil([&] { return has("hang", "end"); }, 20s));

  // The line the client hung over goes out late, when the hang ends; the pause starts afresh
  // then, and after it a whole new line follows.
  // On the peer's clock: the time logged after the first line at or after from whose first
  // two words are these; nothing until there is one.
  auto time_of = [&](const char* what, int from) -> std::optional<long long> {
    const std::vector<PeerEvent> all = peer_->log().All();
    const int at = IndexOf(
        all, [&](const PeerEvent& e) { return e.what == what; }, from);
    const int time = at < 0 ? -1
                            : IndexOf(
                                  all, [](const PeerEvent& e) { return e.window == "at"; }, at);
    if (time < 0) return std::nullopt;
    return std::stoll(all[static_cast<std::size_t>(time)].fields.at("ms"));
  };
  const int hang_end = IndexOf(
      peer_->log().All(), [](const PeerEvent& e) { return e.window == "hang" && e.what == "end"; });
  ASSERT_TRUE(WaitUntil([&] { return time_of("sent", hang_end).has_value(); }, 5s));
  ASSERT_TRUE(WaitUntil([&] { return time_of("WM_SETTEXT", hang_end).has_value(); }, 10s));
  EXPECT_GE(*time_of("WM_SETTEXT", hang_end) - *time_of("sent", hang_end), 1900)
      << "the next line came inside the pause that the late line started";
  const Events expected = MircCycle(std::string(kPrefix) + "After - The Hang");
  auto fresh_line_arrived = [&] {
    const std::vector<PeerEvent> all = peer_->log().All();
    const int end =
        IndexOf(all, [](const PeerEvent& e) { return e.window == "hang" && e.what == "end"; });
    Events after;
    for (std::size_t i = static_cast<std::size_t>(end) + 1; i < all.size(); ++i) {
      if (IsMessageEvent(all[i])) after.push_back(all[i].line);
    }
    return std::search(after.begin(), after.end(), expected.begin(), expected.end()) != after.end();
  };
  EXPECT_TRUE(WaitUntil(fresh_line_arrived, 15s))
      << ::testing::PrintToString(peer_->log().Events());
  EXPECT_TRUE(zurelo_.process().Running());
}

}  // namespace
}  // namespace e2e
