#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "chat/chat_senders.h"
#include "support/fake_desktop.h"

namespace {

using fakes::FakeDesktop;
using fakes::Message;
using platform::Handle;
using Texts = std::vector<std::wstring>;

std::vector<Message> Sends(std::initializer_list<Message> m) {
  return m;
}

// The fake desktop numbers its windows 256, 257, ... in the order they are added, so every
// handle below is written out as a number: the tests state what the code must find, and
// never search the tree themselves.
class ChatTest : public ::testing::Test {
 protected:
  // Sends a line the way the announcer does, and tells its end; the outcome comes back,
  // nothing when none was told.
  std::optional<chat::LineOutcome> Send(chat::LineSteps steps, const std::wstring& text) {
    outcomes.clear();
    chat.Send(Key(steps), steps, text, [this](chat::LineOutcome o) { outcomes.push_back(o); });
    desk.EndLines();
    if (outcomes.empty()) return std::nullopt;
    return outcomes.front();
  }
  static int Key(chat::LineSteps steps) {
    const chat::LineSteps all[] = {&chat::AolLine, &chat::AimLine, &chat::YahooLine,
                                   &chat::MircLine};
    return static_cast<int>(std::find(std::begin(all), std::end(all), steps) - std::begin(all));
  }
  // mIRC with one channel; its input box is 259.
  Handle MircInput() {
    return desk.Add(desk.Add(desk.Add(desk.Add(0, L"mirc"), L"mdiclient"), L"mirc_channel"),
                    L"edit");
  }

  // The client takes each line as a real one does: Enter empties its box.
  void TakeLinesOnEnter() {
    desk.on_message = [this](const fakes::Message& m) {
      if (m.kind == L"char" && m.code == 13) desk.SetText(m.target, L"");
    };
  }

  bool AnySend() const {
    return std::any_of(desk.calls.begin(), desk.calls.end(),
                       [](const std::wstring& c) { return c.rfind(L"send ", 0) == 0; });
  }

  FakeDesktop desk;
  chat::ChatSenders chat{desk};
  std::vector<chat::LineOutcome> outcomes;
};

// --- AOL -------------------------------------------------------------------------------

const Texts kRoomParts = {L"_AOL_Static", L"_AOL_Combobox",    L"_AOL_Listbox",
                          L"_AOL_Icon",   L"RICHCNTLREADONLY", L"RICHCNTL"};

// The frame is 256 and its MDI client 257; documents and their parts follow from 258.
class AolTest : public ChatTest {
 protected:
  AolTest() : frame(desk.Add(0, L"AOL Frame25")), client(desk.Add(frame, L"MDIClient")) {}

  Handle Doc(const Texts& parts) {
    const Handle doc = desk.Add(client, L"AOL Child");
    for (const auto& cls : parts) desk.Add(doc, cls);
    return doc;
  }

  const Handle frame, client;
};

TEST_F(AolTest, FirstDocumentIsTheRoom) {
  Doc(kRoomParts);  // 258: static 259, combo 260, list 261, icon 262, read-only 263, input 264
  Doc({});
  EXPECT_EQ(chat::FindAolRoom(desk), 258u);
  EXPECT_EQ(desk.calls,
            (Texts{L"top AOL Frame25 -> 256", L"child 256 0 MDIClient -> 257",
                   L"child 257 0 AOL Child -> 258", L"child 258 0 _AOL_Combobox -> 260",
                   L"child 258 0 _AOL_Listbox -> 261", L"child 258 0 _AOL_Static -> 259",
                   L"child 258 0 _AOL_Icon -> 262", L"child 258 0 RICHCNTLREADONLY -> 263"}));
}

TEST_F(AolTest, WalksPastNonRooms) {
  Doc({L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon", L"RICHCNTLREADONLY"});  // 258: 259-262
  Doc({L"_AOL_Combobox", L"_AOL_Listbox"});                                   // 263: 264-265
  Doc(kRoomParts);                                                            // 266: 267-272
  EXPECT_EQ(chat::FindAolRoom(desk), 266u);
  EXPECT_EQ(desk.calls,
            (Texts{L"top AOL Frame25 -> 256",          L"child 256 0 MDIClient -> 257",
                   L"child 257 0 AOL Child -> 258",    L"child 258 0 _AOL_Combobox -> 0",
                   L"child 258 0 _AOL_Listbox -> 259", L"child 258 0 _AOL_Static -> 260",
                   L"child 258 0 _AOL_Icon -> 261",    L"child 258 0 RICHCNTLREADONLY -> 262",
                   L"child 257 258 AOL Child -> 263",  L"child 263 0 _AOL_Combobox -> 264",
                   L"child 263 0 _AOL_Listbox -> 265", L"child 263 0 _AOL_Static -> 0",
                   L"child 263 0 _AOL_Icon -> 0",      L"child 263 0 RICHCNTLREADONLY -> 0",
                   L"child 257 263 AOL Child -> 266",  L"child 266 0 _AOL_Combobox -> 268",
                   L"child 266 0 _AOL_Listbox -> 269", L"child 266 0 _AOL_Static -> 267",
                   L"child 266 0 _AOL_Icon -> 270",    L"child 266 0 RICHCNTLREADONLY -> 271"}));
}

TEST_F(AolTest, FirstDocumentThatOnlyLooksLikeARoomEndsTheSearchAtOnce) {
  Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon"});  // 258: 259-262
  Doc(kRoomParts);
  EXPECT_EQ(chat::FindAolRoom(desk), 0u);
  EXPECT_EQ(desk.calls,
            (Texts{L"top AOL Frame25 -> 256", L"child 256 0 MDIClient -> 257",
                   L"child 257 0 AOL Child -> 258", L"child 258 0 _AOL_Combobox -> 259",
                   L"child 258 0 _AOL_Listbox -> 260", L"child 258 0 _AOL_Static -> 261",
                   L"child 258 0 _AOL_Icon -> 262", L"child 258 0 RICHCNTLREADONLY -> 0"}));
  EXPECT_EQ(Send(&chat::AolLine, L"hello"), chat::LineOutcome::kNoBox);
  EXPECT_TRUE(desk.messages.empty());
}

TEST_F(AolTest, FirstDocumentWithoutIconAlsoEndsTheSearch) {
  Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"RICHCNTLREADONLY"});
  Doc(kRoomParts);
  EXPECT_EQ(chat::FindAolRoom(desk), 0u);
  EXPECT_EQ(desk.calls.size(), 8u) << "the walk went on";
}

TEST_F(AolTest, WalkVisitsEveryDocumentOnceWhenNoneIsARoom) {
  Doc({L"_AOL_Listbox"});                                                         // 258: 259
  Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"RICHCNTLREADONLY"});  // 260: 261-264
  // Looks like a room but is none: only the first document ends the walk that way.
  Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon"});  // 265: 266-269
  EXPECT_EQ(chat::FindAolRoom(desk), 0u);
  EXPECT_EQ(desk.calls,
            (Texts{L"top AOL Frame25 -> 256",          L"child 256 0 MDIClient -> 257",
                   L"child 257 0 AOL Child -> 258",    L"child 258 0 _AOL_Combobox -> 0",
                   L"child 258 0 _AOL_Listbox -> 259", L"child 258 0 _AOL_Static -> 0",
                   L"child 258 0 _AOL_Icon -> 0",      L"child 258 0 RICHCNTLREADONLY -> 0",
                   L"child 257 258 AOL Child -> 260",  L"child 260 0 _AOL_Combobox -> 261",
                   L"child 260 0 _AOL_Listbox -> 262", L"child 260 0 _AOL_Static -> 263",
                   L"child 260 0 _AOL_Icon -> 0",      L"child 260 0 RICHCNTLREADONLY -> 264",
                   L"child 257 260 AOL Child -> 265",  L"child 265 0 _AOL_Combobox -> 266",
                   L"child 265 0 _AOL_Listbox -> 267", L"child 265 0 _AOL_Static -> 268",
                   L"child 265 0 _AOL_Icon -> 269",    L"child 265 0 RICHCNTLREADONLY -> 0",
                   L"child 257 265 AOL Child -> 0",    L"child 0 0 _AOL_Combobox -> 0",
                   L"child 0 0 _AOL_Listbox -> 0",     L"child 0 0 _AOL_Static -> 0",
                   L"child 0 0 _AOL_Icon -> 0",        L"child 0 0 RICHCNTLREADONLY -> 0"}));
}

TEST_F(AolTest, NoClientMeansNoRoomAndNothingSent) {
  desk.Remove(frame);
  EXPECT_EQ(chat::FindAolRoom(desk), 0u);
  Send(&chat::AolLine, L"hello");
  EXPECT_FALSE(AnySend());
}

TEST_F(AolTest, RoomWithoutInputBoxGetsNothing) {
  Doc({L"_AOL_Static", L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Icon", L"RICHCNTLREADONLY"});
  Send(&chat::AolLine, L"hello");
  EXPECT_FALSE(AnySend());
}

TEST_F(AolTest, SendsTextThenEnterToTheRoomsInputBox) {
  Doc({});          // 258
  Doc(kRoomParts);  // 259, its input box 265
  TakeLinesOnEnter();
  Send(&chat::AolLine, L"{Zurelo 1.0} Now Playing: A - B");
  Send(&chat::AolLine, L"");  // the box is emptied and Enter still goes out
  EXPECT_EQ(desk.messages, Sends({{265, L"text", L"{Zurelo 1.0} Now Playing: A - B", 0},
                                  {265, L"char", L"", 13},
                                  {265, L"text", L"", 0},
                                  {265, L"char", L"", 13}}));
}

TEST_F(AolTest, HungInputBoxGetsNoEnter) {
  Doc(kRoomParts);  // 258, its input box 264
  desk.At(264).hung = true;
  EXPECT_EQ(Send(&chat::AolLine, L"hello"), chat::LineOutcome::kGivenUp);
  EXPECT_EQ(desk.calls.back(), L"send text 264 \"hello\"");
}

// --- mIRC ------------------------------------------------------------------------------

TEST_F(ChatTest, MircTypesIntoTheFirstChannelAndEntersThere) {
  const Handle main = desk.Add(0, L"mIRC");         // 256
  const Handle mdi = desk.Add(main, L"MDIClient");  // 257
  desk.Add(mdi, L"mIRC_Status");
  desk.Add(desk.Add(mdi, L"mIRC_Channel"), L"Edit");  // 259, its input 260
  desk.Add(desk.Add(mdi, L"mIRC_Channel"), L"Edit");
  TakeLinesOnEnter();

  EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kPosted);
  // Everything goes to the box found at the start, whichever channel comes forward meanwhile.
  EXPECT_EQ(desk.calls, (Texts{L"top mirc -> 256", L"child 256 0 mdiclient -> 257",
                               L"child 257 0 mirc_channel -> 259", L"child 259 0 edit -> 260",
                               L"send text 260 \"line\"", L"send char 260 13"}));
  EXPECT_EQ(desk.messages, Sends({{260, L"text", L"line", 0}, {260, L"char", L"", 13}}));
}

// The box left to the user once our text has been in it: the draft, with what they typed
// meanwhile at its caret, and nothing of ours, whole or cut.
TEST(UsersWordsTest, TheDraftAndTheKeysTypedNeverOurText) {
  struct Case {
    const wchar_t* now;  // the box, with our text "line" in it or what is left of it
    const wchar_t* draft;
    unsigned caret;
    const wchar_t* left;
  };
  for (const Case& c : {
           Case{L"line", L"", 0, L""}, Case{L"line", L"half a thought", 14, L"half a thought"},
           Case{L"loline", L"half a thought", 14, L"half a thoughtlo"},  // keys before it
           Case{L"line more", L"half", 4, L"half more"},                 // and after it
           Case{L"a line b", L"", 0, L"a  b"},
           Case{L"lin", L"draft", 5, L"draft"},         // cut short with Backspace
           Case{L"liXne", L"draft", 5, L"draftX"},      // typed into it
           Case{L"hello", L"draft", 5, L"drafthello"},  // all of it replaced
           Case{L"", L"draft", 5, L"draft"},            // emptied
           Case{L"loline", L"ab", 1, L"alob"},          // at the draft's caret
       }) {
    platform::BoxText draft, now, ours;
    draft.text = c.draft;
    draft.sel_start = draft.sel_end = c.caret;
    now.text = c.now;
    ours.text = L"line";
    const platform::BoxText left = chat::UsersWords(draft, now, ours);
    EXPECT_EQ(left.text, c.left) << "box " << testing::PrintToString(std::wstring(c.now));
    EXPECT_LE(left.sel_end, left.text.size());
  }
  // An ANSI box, in its bytes.
  platform::BoxText draft, now, ours;
  draft.unicode = now.unicode = ours.unicode = false;
  draft.bytes = "caf\xE9";
  draft.sel_start = draft.sel_end = 4;
  now.bytes = "ok line";
  ours.bytes = "line";
  EXPECT_EQ(chat::UsersWords(draft, now, ours).bytes, "caf\xE9ok ");
}

// What the user was typing goes back once the client has taken the line, and only into a
// box it emptied, at once or a little later; a client that never empties its box gets the
// draft in place of our line; keys typed after the client emptied it follow the draft.
TEST_F(ChatTest, TheUsersDraftComesBackOnceTheClientHasTakenTheLine) {
  const Handle input = MircInput();  // 259
  const std::wstring draft = L"brb, wait for th";
  struct Case {
    int looks;  // the worker's looks at the box before the client empties it; -1 never
    const wchar_t* typed;
    std::wstring left;
  };
  for (const Case& c : {Case{0, L"", draft}, Case{3, L"", draft}, Case{-1, L"", draft},
                        Case{0, L"x", draft + L"x"}}) {
    desk.SetText(input, draft);
    desk.At(input).sel_start = desk.At(input).sel_end = static_cast<unsigned>(draft.size());
    desk.messages.clear();
    desk.waited_ms = 0;
    int looks = 0;
    const auto empty = [&] { desk.SetText(input, c.typed); };
    desk.on_message = [&](const Message& m) {
      if (m.kind == L"char" && c.looks == 0) empty();
    };
    desk.on_wait = [&] {
      if (++looks == c.looks) empty();
    };
    EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kPosted);
    EXPECT_EQ(
        desk.messages,
        Sends({{259, L"text", L"line", 0}, {259, L"char", L"", 13}, {259, L"box", c.left, 0}}))
        << c.looks;
    EXPECT_EQ(desk.At(input).sel_end, c.left.size());
    if (c.looks < 0) {
      EXPECT_GE(desk.waited_ms, 2000u) << "the box was given too little time";
    }
  }
  desk.on_wait = nullptr;

  // A line of ours that a client left in the box, whatever the user typed around it, is no
  // draft of theirs: only what they typed is.
  desk.SetText(input, L"ok old line");
  TakeLinesOnEnter();
  desk.messages.clear();
  chat::MircLine(desk, {L"new", L"old line"});
  EXPECT_EQ(desk.At(input).text, L"ok ");
}

// Right before the Enter the box is read: the user's words typed meanwhile are never sent,
// and stay where they are.
TEST_F(ChatTest, NoEnterWhenTheBoxChangedAfterTheText) {
  const Handle input = MircInput();
  desk.on_message = [&](const Message& m) {
    if (m.kind == L"text") desk.SetText(input, L"lo" + m.text);
  };
  EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kNotPosted);
  EXPECT_EQ(desk.messages, Sends({{259, L"text", L"line", 0}, {259, L"box", L"lo", 0}}));
  EXPECT_EQ(desk.At(input).text, L"lo");
}

// A client that hangs after the text and answers only after the line was given up: nothing
// more is sent, and the box is the user's again, draft and selection, with what they typed
// into our line meanwhile, or empty.
TEST_F(ChatTest, AGivenUpLineLeavesTheBoxAsTheUserHadIt) {
  const Handle input = MircInput();
  // It hangs over the read before the Enter, or over the text itself.
  for (const std::wstring hangs_on : {L"read", L"text"}) {
    for (const std::wstring typed : {L"", L"lo"}) {
      for (const std::wstring draft : {L"half-typed", L""}) {
        desk.SetText(input, draft);
        desk.At(input).sel_start = desk.At(input).sel_end = static_cast<unsigned>(draft.size());
        desk.messages.clear();
        if (hangs_on == L"text") desk.At(input).late_on = L"text";
        desk.on_message = [&](const Message& m) {
          if (m.kind != L"text") return;
          desk.SetText(input, typed + m.text);
          if (hangs_on == L"read") desk.At(input).late_on = L"read";
        };
        EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kGivenUp);
        EXPECT_TRUE(chat.Busy(Key(&chat::MircLine))) << "the worker is not back yet";
        desk.WorkersBack();
        EXPECT_FALSE(chat.Busy(Key(&chat::MircLine)));
        EXPECT_EQ(desk.messages,
                  Sends({{259, L"text", L"line", 0}, {259, L"box", draft + typed, 0}}));
        EXPECT_EQ(desk.At(input).sel_end, draft.size() + typed.size());
      }
    }
  }
}

// At most one line per client on its way: while a given-up worker is still out in the
// client, the next line is skipped. An Enter already on its way when the line was given up
// may be handled in the end: that is told, and the draft goes back.
TEST_F(ChatTest, NoNewLineWhileAnEarlierOneIsStuckInTheClient) {
  const Handle input = MircInput();
  desk.SetText(input, L"draft");
  TakeLinesOnEnter();
  desk.At(input).late_on = L"char";
  EXPECT_EQ(Send(&chat::MircLine, L"one"), chat::LineOutcome::kGivenUp);
  const int lines = desk.lines;
  EXPECT_EQ(Send(&chat::MircLine, L"two"), chat::LineOutcome::kSkipped);
  EXPECT_EQ(desk.lines, lines) << "a second line went to a client still holding the first";
  outcomes.clear();
  desk.WorkersBack();
  EXPECT_EQ(outcomes, std::vector<chat::LineOutcome>{chat::LineOutcome::kPostedAfterGivingUp});
  EXPECT_EQ(desk.At(input).text, L"draft");
  EXPECT_EQ(Send(&chat::MircLine, L"three"), chat::LineOutcome::kPosted);
}

TEST_F(ChatTest, MircHungInputStopsAfterTheText) {
  const Handle input = MircInput();
  desk.At(input).hung = true;
  EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kGivenUp);
  EXPECT_EQ(desk.calls, (Texts{L"top mirc -> 256", L"child 256 0 mdiclient -> 257",
                               L"child 257 0 mirc_channel -> 258", L"child 258 0 edit -> 259",
                               L"send text 259 \"line\""}));
  EXPECT_TRUE(desk.messages.empty());
}

// --- AIM -------------------------------------------------------------------------------

// The chat window is 256; its first pane 257 holds the history 258, then come the first
// button 259 and the second pane 260 with the input 261. Further buttons are 262, 263, ...
class AimTest : public ChatTest {
 protected:
  AimTest() : window(desk.Add(0, L"AIM_ChatWnd")) {
    desk.Add(desk.Add(window, L"WndAte32Class"), L"Ate32Class");  // the history, not the input
    desk.Add(window, L"_Oscar_IconBtn");
    desk.Add(desk.Add(window, L"WndAte32Class"), L"Ate32Class");
  }
  void AddButtons(int total) {
    for (int i = 1; i < total; ++i) desk.Add(window, L"_Oscar_IconBtn");
  }

  const Handle window;
};

TEST_F(AimTest, FifthButtonIsPressedAfterTheTextGoesToTheSecondPane) {
  AddButtons(6);  // 259, 262, 263, 264, 265, 266
  Send(&chat::AimLine, L"line");
  // The button of the conversation the text went to: the chat window is not looked up again.
  EXPECT_EQ(desk.calls,
            (Texts{L"top aim_chatwnd -> 256", L"child 256 0 wndate32class -> 257",
                   L"child 256 257 wndate32class -> 260", L"child 260 0 ate32class -> 261",
                   L"send text 261 \"line\"", L"child 256 0 _oscar_iconbtn -> 259",
                   L"child 256 259 _oscar_iconbtn -> 262", L"child 256 262 _oscar_iconbtn -> 263",
                   L"child 256 263 _oscar_iconbtn -> 264", L"child 256 264 _oscar_iconbtn -> 265",
                   L"send down 265 13", L"send up 265 13"}));
  // A client that does not empty its box once it has taken the line: our line leaves it.
  EXPECT_EQ(desk.messages, Sends({{261, L"text", L"line", 0},
                                  {265, L"down", L"", 13},
                                  {265, L"up", L"", 13},
                                  {261, L"box", L"", 0}}));
}

TEST_F(AimTest, FourButtonsEndTheChainOnNothingAndTheBoxIsTheUsersAgain) {
  AddButtons(4);  // 259, 262, 263, 264
  EXPECT_EQ(Send(&chat::AimLine, L"line"), chat::LineOutcome::kNotPosted);
  const Texts tail(desk.calls.end() - 6, desk.calls.end());
  EXPECT_EQ(tail,
            (Texts{L"child 256 0 _oscar_iconbtn -> 259", L"child 256 259 _oscar_iconbtn -> 262",
                   L"child 256 262 _oscar_iconbtn -> 263", L"child 256 263 _oscar_iconbtn -> 264",
                   L"child 256 264 _oscar_iconbtn -> 0", L"send down 0 13"}));
  EXPECT_EQ(desk.messages, Sends({{261, L"text", L"line", 0}, {261, L"box", L"", 0}}));
  EXPECT_EQ(desk.At(261).text, L"");
}

TEST_F(AimTest, ChainStartsAgainAfterANothing) {
  AddButtons(3);  // 259, 262, 263, nothing, and then 259 once more
  Send(&chat::AimLine, L"");
  EXPECT_EQ(desk.messages,
            Sends({{261, L"text", L"", 0}, {259, L"down", L"", 13}, {259, L"up", L"", 13}}));
}

TEST_F(AimTest, HungClientGetsNothingAfterTheUnansweredMessage) {
  AddButtons(5);  // 259, 262, 263, 264, 265
  desk.At(261).hung = true;
  Send(&chat::AimLine, L"line");
  EXPECT_EQ(desk.calls.back(), L"send text 261 \"line\"");
  desk.WorkersBack();

  desk.At(261).hung = false;
  desk.At(265).hung = true;
  Send(&chat::AimLine, L"line");
  EXPECT_EQ(desk.calls.back(), L"send down 265 13");
  desk.WorkersBack();

  // A send button that hangs over the press: no click, and the draft is back in the box.
  desk.At(265).hung = false;
  desk.At(265).late_on = L"down";
  desk.SetText(261, L"draft");
  EXPECT_EQ(Send(&chat::AimLine, L"line"), chat::LineOutcome::kGivenUp);
  desk.WorkersBack();
  EXPECT_EQ(desk.At(261).text, L"draft");
}

// --- Yahoo! ----------------------------------------------------------------------------

// The window is 256, its first button 257 and the input 258; further buttons are 259, 260, ...
class YahooTest : public ChatTest {
 protected:
  YahooTest() : window(desk.Add(0, L"IMClass")) {
    desk.Add(window, L"Button");
    desk.Add(window, L"YIMInputWindow");
  }
  void AddButtons(int total) {
    for (int i = 1; i < total; ++i) desk.Add(window, L"Button");
  }

  const Handle window;
};

TEST_F(YahooTest, FourthButtonGetsTheClickAfterTheText) {
  AddButtons(5);  // 257, 259, 260, 261, 262
  Send(&chat::YahooLine, L"line");
  EXPECT_EQ(desk.calls, (Texts{L"top IMClass -> 256", L"child 256 0 YIMInputWindow -> 258",
                               L"child 256 0 button -> 257", L"child 256 257 button -> 259",
                               L"child 256 259 button -> 260", L"child 256 260 button -> 261",
                               L"send text 258 \"line\"", L"send down 261 13",
                               L"send keydown 261 32", L"send keyup 261 32"}));
}

TEST_F(YahooTest, ThreeButtonsLeaveTheTextUnsent) {
  AddButtons(3);  // 257, 259, 260
  Send(&chat::YahooLine, L"line");
  EXPECT_EQ(desk.calls, (Texts{L"top IMClass -> 256", L"child 256 0 YIMInputWindow -> 258",
                               L"child 256 0 button -> 257", L"child 256 257 button -> 259",
                               L"child 256 259 button -> 260", L"child 256 260 button -> 0",
                               L"send text 258 \"line\"", L"send down 0 13"}));
  EXPECT_EQ(desk.messages, Sends({{258, L"text", L"line", 0}, {258, L"box", L"", 0}}));
}

TEST_F(YahooTest, HungInputGetsNoClick) {
  AddButtons(4);
  desk.At(258).hung = true;
  Send(&chat::YahooLine, L"line");
  EXPECT_EQ(desk.calls.back(), L"send text 258 \"line\"");
}

// --- Any client ------------------------------------------------------------------------

TEST_F(ChatTest, ClientsNotRunningGetNothing) {
  for (const chat::LineSteps steps :
       {&chat::AimLine, &chat::YahooLine, &chat::MircLine, &chat::AolLine}) {
    EXPECT_EQ(Send(steps, L"line"), chat::LineOutcome::kNoBox);
  }
  EXPECT_FALSE(AnySend());
  // Each line goes to its worker as one piece of work.
  EXPECT_EQ(desk.lines, 4);
}

TEST_F(ChatTest, ControlCharactersGoAsBlanks) {
  MircInput();
  // A line break would make a client send the rest as a line of its own: here a command.
  Send(&chat::MircLine, std::wstring(L"A\r\n/quit\tB\x7f") + L'\0' + L"\x1f\u00e9");
  EXPECT_EQ(desk.messages.front().text, L"A  /quit B   \u00e9");
}

}  // namespace
