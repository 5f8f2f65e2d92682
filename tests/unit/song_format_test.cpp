#include "player/song_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using player::PlayerState;
using player::SongFacts;

SongFacts Facts(std::wstring song, PlayerState state = PlayerState::kPlaying,
                std::optional<int> position = std::nullopt,
                std::optional<int> length = std::nullopt, std::optional<int> time = std::nullopt) {
  SongFacts f;
  f.song = std::move(song);
  f.state = state;
  f.list_position = position;
  f.length_seconds = length;
  f.position_ms = time;
  return f;
}

TEST(SongFormat, EachPlaceholderIsFilledFromWhatIsKnown) {
  const std::wstring all = L"{song}|{artist}|{title}|{number}|{length}|{position}|{state}";
  struct Row {
    SongFacts facts;
    std::wstring filled;
  };
  const Row rows[] = {
      {Facts(L"Daft Punk - One More Time", PlayerState::kPlaying, 0, 320, 61500),
       L"Daft Punk - One More Time|Daft Punk|One More Time|1|5:20|1:01|playing"},
      // Split at the first " - " only; a dash without blanks is part of a name.
      {Facts(L"AC-DC - Back - In Black", PlayerState::kPaused, 41, 3600, 3599999),
       L"AC-DC - Back - In Black|AC-DC|Back - In Black|42|1:00:00|59:59|paused"},
      // A stream: no " - ", no length, no number asked; the title is the whole song.
      {Facts(L"Radio Paradise", PlayerState::kStopped, std::nullopt, -1, -1),
       L"Radio Paradise||Radio Paradise||||stopped"},
      {Facts(L"\u0141\u00f3d\u017a - \u041f\u0440\u0438 \U0001F3B5", PlayerState::kPlaying, 9,
             36061, 9000),
       L"\u0141\u00f3d\u017a - \u041f\u0440\u0438 \U0001F3B5|\u0141\u00f3d\u017a|"
       L"\u041f\u0440\u0438 \U0001F3B5|10|10:01:01|0:09|playing"},
      {Facts(L"Winamp 6 Not Found", PlayerState::kNone),
       L"Winamp 6 Not Found||Winamp 6 Not Found||||stopped"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(player::FillFormat(all, row.facts), row.filled) << row.facts.song;
  }
  // Just started: no time played is a time all the same.
  EXPECT_EQ(player::FillFormat(L"[{position}]", Facts(L"x", PlayerState::kPlaying, 0, 9, 0)),
            L"[0:00]");
}

TEST(SongFormat, UnknownAndLiteralPlaceholdersStayAsTyped) {
  const SongFacts facts = Facts(L"A - B");
  struct Row {
    const wchar_t* format;
    const wchar_t* filled;
  };
  const Row rows[] = {
      {L"{Zurelo 1.0} Now Playing: {song}", L"{Zurelo 1.0} Now Playing: A - B"},
      {L"{Song} {artists} {} { title} {", L"{Song} {artists} {} { title} {"},
      {L"{{song} is {song}", L"{song} is A - B"},
      {L"{{{title}}", L"{B}"},
      {L"{{{{artist}", L"{{artist}"},
      {L"{{x} }}", L"{{x} }}"},
      {L"{prefix}{title}", L"np: B"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(player::FillFormat(row.format, facts, L"np: "), row.filled) << row.format;
    EXPECT_FALSE(player::UnclosedPlaceholder(row.format)) << row.format;
    EXPECT_EQ(player::FormatRefusal(row.format), L"") << row.format;
  }
  // The prefix is the user's text; what the song gave is marked as filled.
  const auto parts = player::FillFormatParts(L"/me {prefix}{artist}: {{title}", facts, L"np ");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].text, L"/me np ");
  EXPECT_FALSE(parts[0].filled);
  EXPECT_EQ(parts[1].text, L"A");
  EXPECT_TRUE(parts[1].filled);
  EXPECT_EQ(parts[2].text, L": {title}");
}

TEST(SongFormat, APlaceholderWithoutItsBraceIsRefused) {
  for (const auto& [format, at] : {std::pair<const wchar_t*, std::size_t>{L"{artist", 0},
                                   {L"np {song} {artist - {title}", 10},
                                   {L"{{title", 0},
                                   {L"{length]", 0}}) {
    EXPECT_EQ(player::UnclosedPlaceholder(format), at) << format;
    EXPECT_NE(player::FormatRefusal(format).find(L"is not closed"), std::wstring::npos);
  }
  EXPECT_NE(player::FormatRefusal(L"x {artist - y").find(L"\"{artist\""), std::wstring::npos);
}

}  // namespace
