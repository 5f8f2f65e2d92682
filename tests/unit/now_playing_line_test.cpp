#include "chat/now_playing_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using chat::NowPlayingLine;
using chat::PrefixRefusal;

constexpr bool kCommands = true;  // mIRC's box
constexpr bool kText = false;     // AOL's, AIM's and Yahoo!'s

// What is typed into the box for the prefix and the song; "<unsent>" when nothing may be.
std::wstring Typed(const std::wstring& prefix, const std::wstring& song, bool takes_commands) {
  return NowPlayingLine(prefix, song, takes_commands).value_or(L"<unsent>");
}

TEST(NowPlayingLine, ASongThatWouldBeginTheLineNeverBeginsACommand) {
  EXPECT_EQ(Typed(L"", L"/quit bye", kCommands), L"\u2215quit bye");
  EXPECT_EQ(Typed(L"", L"//quit $me", kCommands), L"\u2215/quit $me");
  EXPECT_EQ(Typed(L"  ", L"/quit", kCommands), L"  \u2215quit");
  // A line break or blank before the slash does not hide it.
  EXPECT_EQ(Typed(L"", L"\r/quit", kCommands), L" \u2215quit");
}

TEST(NowPlayingLine, InsideACommandTheSongIsOnlyItsText) {
  // One slash evaluates nothing, so "$" and "%" stay; "|" would start a second command and a
  // line break would end the line.
  EXPECT_EQ(Typed(L"/me np: ", L"A | B | /quit $me %x", kCommands),
            L"/me np: A \u2223 B \u2223 /quit $me %x");
  EXPECT_EQ(Typed(L"/me np: ", L"A\r\n/quit", kCommands), L"/me np: A  /quit");
  // Blanks before the "/" are taken as the box may take them: as a command all the same.
  EXPECT_EQ(Typed(L"  /me np: ", L"A | /quit", kCommands), L"  /me np: A \u2223 /quit");
}

TEST(NowPlayingLine, APrefixTheSongCouldTurnIntoACommandSendsNothing) {
  for (const wchar_t* prefix : {L"//me np: ", L"  //me np: ", L"/", L"/ np: ", L"/me"}) {
    EXPECT_FALSE(NowPlayingLine(prefix, L"Song", kCommands).has_value()) << prefix;
    EXPECT_FALSE(PrefixRefusal(prefix, kCommands).empty()) << prefix;
    EXPECT_TRUE(PrefixRefusal(prefix, kText).empty()) << prefix;
  }
}

TEST(NowPlayingLine, PlainTextAndClientsWithoutCommandsGetPrefixAndSongAsTheyAre) {
  EXPECT_EQ(Typed(L"{Zurelo 1.0} Now Playing: ", L"AC/DC | $x %y", kCommands),
            L"{Zurelo 1.0} Now Playing: AC/DC | $x %y");
  EXPECT_EQ(Typed(L"", L"/quit | $me", kText), L"/quit | $me");
  EXPECT_EQ(Typed(L"//me ", L"a\r|b", kText), L"//me a\r|b");
}

}  // namespace
