#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "chat/zurelo_chat.h"
#include "support/fake_desktop.h"
#include "support/fakes.h"

namespace {

using fakes::FakeDesktop;
using fakes::Message;
using platform::Handle;
using Lines = std::vector<std::wstring>;

std::wstring N(Handle h) {
  return std::to_wstring(h);
}
std::wstring Top(const std::wstring& cls, Handle found) {
  return L"top " + cls + L" -> " + N(found);
}
std::wstring Child(Handle parent, Handle after, const std::wstring& cls, Handle found) {
  return L"child " + N(parent) + L" " + N(after) + L" " + cls + L" -> " + N(found);
}
std::vector<Message> Sends(std::initializer_list<Message> m) {
  return m;
}
Lines Join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class ChatTest : public ::testing::Test {
 protected:
  // Dispatches are written among the window calls, so their place in the order is pinned too.
  ChatTest() {
    pump.on_dispatch = [this] { desk.calls.push_back(L"dispatch"); };
  }

  bool AnySend() const {
    return std::any_of(desk.calls.begin(), desk.calls.end(),
                       [](const std::wstring& c) { return c.rfind(L"send ", 0) == 0; });
  }

  FakeDesktop desk;
  fakes::ManualClock clock;
  fakes::CountingPump pump{clock};
  chat::ZureloChat chat{desk, pump};
};

// --- AOL -------------------------------------------------------------------------------

const Lines kRoomParts = {L"_AOL_Static", L"_AOL_Combobox",    L"_AOL_Listbox",
                          L"_AOL_Icon",   L"RICHCNTLREADONLY", L"RICHCNTL"};

class AolTest : public ChatTest {
 protected:
  AolTest() : frame(desk.Add(0, L"AOL Frame25")), client(desk.Add(frame, L"MDIClient")) {}

  Handle Doc(const Lines& parts) {
    const Handle doc = desk.Add(client, L"AOL Child");
    for (const auto& cls : parts) desk.Add(doc, cls);
    return doc;
  }
  // The five searches of a probe, each with the part it should find.
  Lines Probe(Handle doc) {
    Lines out;
    for (const wchar_t* cls :
         {L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon", L"RICHCNTLREADONLY"}) {
      Handle part = 0;
      for (Handle c : doc == 0 ? std::vector<Handle>{} : desk.At(doc).children)
        if (part == 0 && desk.At(c).cls == cls) part = c;
      out.push_back(Child(doc, 0, cls, part));
    }
    return out;
  }
  Lines Start(Handle first) {
    return Join({{Top(L"AOL Frame25", frame), Child(frame, 0, L"MDIClient", client),
                  Child(client, 0, L"AOL Child", first)},
                 Probe(first)});
  }
  Lines Pass(Handle after, Handle next) {
    return Join({{L"dispatch", Child(client, after, L"AOL Child", next)}, Probe(next)});
  }

  const Handle frame, client;
};

TEST_F(AolTest, FirstDocumentIsTheRoomAndIsFoundWithoutDispatching) {
  const Handle room = Doc(kRoomParts);
  Doc({});
  const Lines expected = Start(room);
  EXPECT_EQ(chat.FindAolRoom(), room);
  EXPECT_EQ(desk.calls, expected);
}

TEST_F(AolTest, WalksPastNonRoomsDispatchingBeforeEachFurtherCandidate) {
  const Handle no_combo = Doc({L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon", L"RICHCNTLREADONLY"});
  const Handle no_static = Doc({L"_AOL_Combobox", L"_AOL_Listbox"});
  const Handle room = Doc(kRoomParts);
  const Lines expected = Join({Start(no_combo), Pass(no_combo, no_static), Pass(no_static, room)});
  EXPECT_EQ(chat.FindAolRoom(), room);
  EXPECT_EQ(desk.calls, expected);
}

TEST_F(AolTest, FirstDocumentThatOnlyLooksLikeARoomEndsTheSearchAtOnce) {
  const Handle no_readonly = Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon"});
  Doc(kRoomParts);
  const Lines expected = Start(no_readonly);
  EXPECT_EQ(chat.FindAolRoom(), 0u);
  EXPECT_EQ(desk.calls, expected);
  chat.SendToAolRoom(L"hello");
  EXPECT_TRUE(desk.messages.empty());
}

TEST_F(AolTest, FirstDocumentWithoutIconAlsoEndsTheSearch) {
  Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"RICHCNTLREADONLY"});
  Doc(kRoomParts);
  EXPECT_EQ(chat.FindAolRoom(), 0u);
  EXPECT_EQ(pump.dispatches, 0);
}

TEST_F(AolTest, WalkVisitsEveryDocumentOnceWhenNoneIsARoom) {
  const Handle a = Doc({L"_AOL_Listbox"});
  const Handle b = Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"RICHCNTLREADONLY"});
  // Looks like a room: past the first document, that no longer ends the walk.
  const Handle c = Doc({L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Static", L"_AOL_Icon"});
  const Lines expected = Join({Start(a), Pass(a, b), Pass(b, c), Pass(c, 0)});
  EXPECT_EQ(chat.FindAolRoom(), 0u);
  EXPECT_EQ(desk.calls, expected);
}

TEST_F(AolTest, CandidateClosedDuringDispatchEndsTheWalk) {
  const Handle doomed = Doc({});
  Doc(kRoomParts);
  const Lines expected = Join({Start(doomed), Pass(doomed, 0)});
  pump.on_dispatch = [&] {
    desk.calls.push_back(L"dispatch");
    desk.Remove(doomed);
  };
  EXPECT_EQ(chat.FindAolRoom(), 0u);
  EXPECT_EQ(desk.calls, expected);
}

TEST_F(AolTest, NoClientMeansNoRoomAndNothingSent) {
  desk.Remove(frame);
  EXPECT_EQ(chat.FindAolRoom(), 0u);
  EXPECT_EQ(pump.dispatches, 1);  // the walk's one pass over nothing
  chat.SendToAolRoom(L"hello");
  EXPECT_FALSE(AnySend());
}

TEST_F(AolTest, RoomWithoutInputBoxGetsNothing) {
  Doc({L"_AOL_Static", L"_AOL_Combobox", L"_AOL_Listbox", L"_AOL_Icon", L"RICHCNTLREADONLY"});
  chat.SendToAolRoom(L"hello");
  EXPECT_FALSE(AnySend());
}

TEST_F(AolTest, SendsTextThenEnterToTheRoomsInputBox) {
  Doc({});
  const Handle input = desk.FindChild(Doc(kRoomParts), 0, L"RICHCNTL");
  chat.SendToAolRoom(L"{Zurelo 1.0} Now Playing: A - B");
  chat.SendToAolRoom(L"");  // the box is emptied and Enter still goes out
  EXPECT_EQ(desk.messages, Sends({{input, L"text", L"{Zurelo 1.0} Now Playing: A - B", 0},
                                  {input, L"char", L"", 13},
                                  {input, L"text", L"", 0},
                                  {input, L"char", L"", 13}}));
}

TEST_F(AolTest, HungInputBoxGetsNoEnter) {
  const Handle input = desk.FindChild(Doc(kRoomParts), 0, L"RICHCNTL");
  desk.At(input).hung = true;
  desk.calls.clear();
  chat.SendToAolRoom(L"hello");
  EXPECT_EQ(desk.calls.back(), L"send text " + N(input) + L" \"hello\"");
}

// --- mIRC ------------------------------------------------------------------------------

TEST_F(ChatTest, MircTypesIntoTheFirstChannelLookingEverythingUpTwice) {
  const Handle main = desk.Add(0, L"mIRC");
  const Handle mdi = desk.Add(main, L"MDIClient");
  desk.Add(mdi, L"mIRC_Status");
  const Handle first = desk.Add(mdi, L"mIRC_Channel");
  const Handle edit = desk.Add(first, L"Edit");
  const Handle second = desk.Add(mdi, L"mIRC_Channel");
  desk.Add(second, L"Edit");
  const Lines lookup = {Top(L"mirc", main), Child(main, 0, L"mdiclient", mdi),
                        Child(mdi, 0, L"mirc_channel", first), Child(first, 0, L"edit", edit)};

  chat.SendToMirc(L"line");
  EXPECT_EQ(desk.calls, Join({lookup,
                              {L"send text " + N(edit) + L" \"line\""},
                              lookup,
                              {L"send char " + N(edit) + L" 13"}}));
  EXPECT_EQ(desk.messages, Sends({{edit, L"text", L"line", 0}, {edit, L"char", L"", 13}}));
}

TEST_F(ChatTest, MircHungInputStopsAfterTheText) {
  const Handle channel = desk.Add(desk.Add(desk.Add(0, L"mirc"), L"mdiclient"), L"mirc_channel");
  desk.At(desk.Add(channel, L"edit")).hung = true;
  chat.SendToMirc(L"line");
  EXPECT_EQ(desk.calls.size(), 5u);  // one lookup and the unanswered text
  EXPECT_TRUE(desk.messages.empty());
}

// --- AIM -------------------------------------------------------------------------------

class AimTest : public ChatTest {
 protected:
  AimTest() : window(desk.Add(0, L"AIM_ChatWnd")) {
    desk.Add(desk.Add(window, L"WndAte32Class"), L"Ate32Class");  // the history, not the input
    buttons.push_back(desk.Add(window, L"_Oscar_IconBtn"));
    const Handle pane = desk.Add(window, L"WndAte32Class");
    input = desk.Add(pane, L"Ate32Class");
  }
  void AddButtons(int total) {
    while (static_cast<int>(buttons.size()) < total)
      buttons.push_back(desk.Add(window, L"_Oscar_IconBtn"));
  }
  Lines ButtonChain(const std::vector<Handle>& found) {
    Lines out = {Top(L"aim_chatwnd", window)};
    Handle after = 0;
    for (Handle h : found) out.push_back(Child(window, after, L"_oscar_iconbtn", h)), after = h;
    return out;
  }

  const Handle window;
  Handle input = 0;
  std::vector<Handle> buttons;
};

TEST_F(AimTest, FifthButtonIsPressedAfterTheTextGoesToTheSecondPane) {
  AddButtons(6);
  const Handle pane = desk.At(input).parent;
  const Handle b = buttons[4];
  chat.SendToAim(L"line");
  const Lines expected =
      Join({{Top(L"aim_chatwnd", window),
             Child(window, 0, L"wndate32class", desk.At(window).children[0]),
             Child(window, desk.At(window).children[0], L"wndate32class", pane),
             Child(pane, 0, L"ate32class", input), L"send text " + N(input) + L" \"line\""},
            ButtonChain({buttons[0], buttons[1], buttons[2], buttons[3], b}),
            {L"send down " + N(b) + L" 13", L"send up " + N(b) + L" 13"}});
  EXPECT_EQ(desk.calls, expected);
  EXPECT_EQ(desk.messages,
            Sends({{input, L"text", L"line", 0}, {b, L"down", L"", 13}, {b, L"up", L"", 13}}));
}

TEST_F(AimTest, FourButtonsEndTheChainOnNothingAndTheTextStays) {
  AddButtons(4);
  chat.SendToAim(L"line");
  const Lines tail(desk.calls.end() - 8, desk.calls.end());
  EXPECT_EQ(tail, Join({ButtonChain({buttons[0], buttons[1], buttons[2], buttons[3], 0}),
                        {L"send down 0 13", L"send up 0 13"}}));
  EXPECT_EQ(desk.messages, Sends({{input, L"text", L"line", 0}}));
  EXPECT_EQ(desk.At(input).text, L"line");
}

TEST_F(AimTest, ChainStartsAgainAfterANothing) {
  AddButtons(3);  // first, second, third, nothing, and then the first once more
  chat.SendToAim(L"");
  EXPECT_EQ(desk.messages, Sends({{input, L"text", L"", 0},
                                  {buttons[0], L"down", L"", 13},
                                  {buttons[0], L"up", L"", 13}}));
}

TEST_F(AimTest, HungClientGetsNothingAfterTheUnansweredMessage) {
  AddButtons(5);
  desk.At(input).hung = true;
  chat.SendToAim(L"line");
  EXPECT_EQ(desk.calls.back(), L"send text " + N(input) + L" \"line\"");

  desk.At(input).hung = false;
  desk.At(buttons[4]).hung = true;
  chat.SendToAim(L"line");
  EXPECT_EQ(desk.calls.back(), L"send down " + N(buttons[4]) + L" 13");
}

// --- Yahoo! ----------------------------------------------------------------------------

class YahooTest : public ChatTest {
 protected:
  YahooTest() : window(desk.Add(0, L"IMClass")) {
    buttons.push_back(desk.Add(window, L"Button"));
    input = desk.Add(window, L"YIMInputWindow");
  }
  void AddButtons(int total) {
    while (static_cast<int>(buttons.size()) < total) buttons.push_back(desk.Add(window, L"Button"));
  }

  const Handle window;
  Handle input = 0;
  std::vector<Handle> buttons;
};

TEST_F(YahooTest, FourthButtonGetsTheClickAfterTheText) {
  AddButtons(5);
  const Handle b = buttons[3];
  chat.SendToYahoo(L"line");
  EXPECT_EQ(desk.calls,
            (Lines{Top(L"IMClass", window), Child(window, 0, L"YIMInputWindow", input),
                   Top(L"imclass", window), Child(window, 0, L"button", buttons[0]),
                   Child(window, buttons[0], L"button", buttons[1]),
                   Child(window, buttons[1], L"button", buttons[2]),
                   Child(window, buttons[2], L"button", b), L"send text " + N(input) + L" \"line\"",
                   L"send down " + N(b) + L" 13", L"send keydown " + N(b) + L" 32",
                   L"send keyup " + N(b) + L" 32"}));
}

TEST_F(YahooTest, ThreeButtonsLeaveTheTextUnsent) {
  AddButtons(3);
  chat.SendToYahoo(L"line");
  EXPECT_EQ(desk.calls[6], Child(window, buttons[2], L"button", 0));
  EXPECT_EQ(desk.messages, Sends({{input, L"text", L"line", 0}}));
}

TEST_F(YahooTest, HungInputGetsNoClick) {
  AddButtons(4);
  desk.At(input).hung = true;
  chat.SendToYahoo(L"line");
  EXPECT_EQ(desk.calls.back(), L"send text " + N(input) + L" \"line\"");
}

// --- Any client ------------------------------------------------------------------------

TEST_F(ChatTest, ClientsNotRunningGetEverySendButNothingArrives) {
  chat.SendToAim(L"line");
  chat.SendToYahoo(L"line");
  chat.SendToMirc(L"line");
  chat.SendToAolRoom(L"line");
  EXPECT_TRUE(desk.messages.empty());
  // Searches under a missing parent and sends to 0 are still made.
  EXPECT_EQ(std::count(desk.calls.begin(), desk.calls.end(), L"send text 0 \"line\""), 3);
  EXPECT_EQ(desk.calls.back(), Child(0, 0, L"RICHCNTL", 0));
}

TEST_F(ChatTest, ControlCharactersGoAsBlanksToEveryClient) {
  // An AOL room, so that its sender too gets as far as the text; the others send to 0.
  const Handle client = desk.Add(desk.Add(0, L"AOL Frame25"), L"MDIClient");
  const Handle room = desk.Add(client, L"AOL Child");
  for (const auto& cls : kRoomParts) desk.Add(room, cls);
  // A line break would make a client send the rest as a line of its own: here a command.
  const std::wstring line = std::wstring(L"A\r\n/quit\tB\x7f") + L'\0' + L"\x1f\u00e9";
  chat.SendToAolRoom(line);
  chat.SendToAim(line);
  chat.SendToYahoo(line);
  chat.SendToMirc(line);
  std::vector<std::wstring> texts;
  for (const auto& c : desk.calls) {
    if (c.rfind(L"send text ", 0) == 0) texts.push_back(c.substr(c.find(L'"')));
  }
  EXPECT_EQ(texts, Lines(4, L"\"A  /quit B   \u00e9\""));
}

}  // namespace
