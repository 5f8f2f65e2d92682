#include "chat/now_playing_line.h"

#include <gtest/gtest.h>

#include <string>

#include "main/line_format.h"

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

namespace {

// A line's format: the song's texts keep the song's rules wherever they stand, and a format
// they could finish or turn into a command is refused before any song is known.
TEST(NowPlayingLine, AFormatKeepsEveryTextOfTheSongUnderTheCommandRules) {
  player::SongFacts facts;
  facts.song = L"/quit | x - $me | bye";
  facts.state = player::PlayerState::kPlaying;
  facts.length_seconds = 245;
  struct Row {
    const wchar_t* format;
    const wchar_t* prefix;
    const wchar_t* mirc;  // "<refused>" when no line may go
  };
  const Row rows[] = {
      {L"{prefix}{song}", L"", L"\u2215quit | x - $me | bye"},
      {L"{prefix}{song}", L"/me np: ", L"/me np: /quit \u2223 x - $me \u2223 bye"},
      {L"/me is listening to {artist} - {title} [{length}]", L"",
       L"/me is listening to /quit \u2223 x - $me \u2223 bye [4:05]"},
      {L"{artist} by {title}", L"", L"\u2215quit | x by $me | bye"},
      {L"{number}{artist}", L"", L"\u2215quit | x"},
      {L"  {title}: {prefix}", L"/me ", L"  $me | bye: /me "},
      {L"{prefix}{title}", L"//me ", L"<refused>"},
      {L"/me{title}", L"", L"<refused>"},
      {L"/{length} {title}", L"", L"<refused>"},
      {L"{prefix}{artist}", L"/me", L"<refused>"},
      {L"/ {title}", L"", L"<refused>"},
      {L"np: {artist", L"", L"<refused>"},
  };
  for (const Row& row : rows) {
    const bool refused = std::wstring(row.mirc) == L"<refused>";
    EXPECT_EQ(zurelo::FormatLine(row.format, facts, row.prefix, kCommands).value_or(L"<refused>"),
              row.mirc)
        << row.format;
    EXPECT_EQ(zurelo::LineFormatRefusal(row.format, row.prefix, kCommands).empty(), !refused)
        << row.format;
    // A box without commands gets the filled format as it is, unless a placeholder is open.
    EXPECT_EQ(zurelo::FormatLine(row.format, facts, row.prefix, kText).has_value(),
              std::wstring(row.format) != L"np: {artist")
        << row.format;
  }
  EXPECT_EQ(zurelo::FormatLine(L"{prefix}{song}", facts, L"//me ", kText),
            L"//me /quit | x - $me | bye");
  // The default format's refusals are the prefix's own.
  EXPECT_EQ(zurelo::LineFormatRefusal(L"{prefix}{song}", L"/me", kCommands),
            PrefixRefusal(L"/me", kCommands));
}

}  // namespace
