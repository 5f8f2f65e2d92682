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

  EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kPosted);
  // Everything goes to the box found at the start, whichever channel comes forward meanwhile.
  EXPECT_EQ(desk.calls, (Texts{L"top mirc -> 256", L"child 256 0 mdiclient -> 257",
                               L"child 257 0 mirc_channel -> 259", L"child 259 0 edit -> 260",
                               L"send text 260 \"line\"", L"send char 260 13"}));
  EXPECT_EQ(desk.messages, Sends({{260, L"text", L"line", 0}, {260, L"char", L"", 13}}));
}

// What the user was typing goes back once the client has taken the line, and only then:
// a box that still holds the line gets no draft the client could send in its place, and
// a line of ours that the client left there is never taken for a draft.
TEST_F(ChatTest, TheUsersDraftIsPutBackOnlyIntoABoxTheClientEmptied) {
  const Handle input = MircInput();  // 259
  desk.SetText(input, L"brb, wait for th");
  desk.At(input).sel_start = 4;
  desk.At(input).sel_end = 8;
  TakeLinesOnEnter();
  Send(&chat::MircLine, L"line");
  EXPECT_EQ(desk.messages, Sends({{259, L"text", L"line", 0},
                                  {259, L"char", L"", 13},
                                  {259, L"box", L"brb, wait for th", 0}}));
  EXPECT_EQ(desk.At(input).sel_start, 4u);
  EXPECT_EQ(desk.At(input).sel_end, 8u);

  desk.messages.clear();
  desk.on_message = nullptr;  // from here on the client does not take its lines
  Send(&chat::MircLine, L"next");
  EXPECT_EQ(desk.messages, Sends({{259, L"text", L"next", 0}, {259, L"char", L"", 13}}));
  EXPECT_EQ(desk.At(input).text, L"next");
  // Our own line left in the box is no draft of the user's: it is not put back later, not
  // even after a line given up on the way (that one never took its place).
  desk.At(input).hung = true;
  EXPECT_EQ(Send(&chat::MircLine, L"lost"), chat::LineOutcome::kGivenUp);
  desk.WorkersBack();
  desk.At(input).hung = false;
  TakeLinesOnEnter();
  desk.messages.clear();
  Send(&chat::MircLine, L"again");
  EXPECT_EQ(desk.messages, Sends({{259, L"text", L"again", 0}, {259, L"char", L"", 13}}));
}

// Right before the Enter the box is read: the user's words typed meanwhile are never sent,
// and stay where they are.
TEST_F(ChatTest, NoEnterWhenTheBoxChangedAfterTheText) {
  const Handle input = MircInput();
  desk.on_message = [&](const Message& m) {
    if (m.kind == L"text") desk.SetText(input, L"lo" + m.text);
  };
  EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kNotPosted);
  EXPECT_EQ(desk.messages, Sends({{259, L"text", L"line", 0}}));
  EXPECT_EQ(desk.At(input).text, L"loline");
}

// A client that hangs after the text and answers only after the line was given up: nothing
// more is sent, and the box is as the user had it, draft and selection, or empty.
TEST_F(ChatTest, AGivenUpLineLeavesTheBoxAsTheUserHadIt) {
  const Handle input = MircInput();
  for (const std::wstring draft : {L"half-typed", L""}) {
    desk.SetText(input, draft);
    desk.At(input).sel_start = desk.At(input).sel_end = static_cast<unsigned>(draft.size());
    desk.messages.clear();
    desk.on_message = [&](const Message& m) {
      if (m.kind == L"text") desk.At(input).late_on = L"read";  // the read before the Enter
    };
    EXPECT_EQ(Send(&chat::MircLine, L"line"), chat::LineOutcome::kGivenUp);
    EXPECT_TRUE(chat.Busy(Key(&chat::MircLine))) << "the worker is not back yet";
    desk.WorkersBack();
    EXPECT_FALSE(chat.Busy(Key(&chat::MircLine)));
    EXPECT_EQ(desk.messages, Sends({{259, L"text", L"line", 0}, {259, L"box", draft, 0}}));
    EXPECT_EQ(desk.At(input).sel_end, draft.size());
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
  // A line whose worker could not be made leaves the client free for the next.
  desk.refuse_lines = true;
  EXPECT_EQ(Send(&chat::MircLine, L"four"), chat::LineOutcome::kSkipped);
  desk.refuse_lines = false;
  EXPECT_EQ(Send(&chat::MircLine, L"five"), chat::LineOutcome::kPosted);
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
  EXPECT_EQ(desk.messages,
            Sends({{261, L"text", L"line", 0}, {265, L"down", L"", 13}, {265, L"up", L"", 13}}));
}

TEST_F(AimTest, FourButtonsEndTheChainOnNothingAndTheTextStays) {
  AddButtons(4);  // 259, 262, 263, 264
  EXPECT_EQ(Send(&chat::AimLine, L"line"), chat::LineOutcome::kNotPosted);
  const Texts tail(desk.calls.end() - 6, desk.calls.end());
  EXPECT_EQ(tail,
            (Texts{L"child 256 0 _oscar_iconbtn -> 259", L"child 256 259 _oscar_iconbtn -> 262",
                   L"child 256 262 _oscar_iconbtn -> 263", L"child 256 263 _oscar_iconbtn -> 264",
                   L"child 256 264 _oscar_iconbtn -> 0", L"send down 0 13"}));
  EXPECT_EQ(desk.messages, Sends({{261, L"text", L"line", 0}}));
  EXPECT_EQ(desk.At(261).text, L"line");
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
  EXPECT_EQ(desk.messages, Sends({{258, L"text", L"line", 0}}));
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
