// Any format fills without fault, and one that passes the check at "On" always makes a line
// for a box that takes commands, whatever the song: the check never lets a line be refused
// later for the song's sake.
#include <cstdlib>

#include "fuzz_input.h"
#include "main/line_format.h"
#include "player/song_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring format = WideFrom(data, size);
  player::SongFacts facts;
  facts.song = L" /quit | x - //y {title}";
  facts.state = player::PlayerState::kPaused;
  facts.list_position = 4;
  facts.length_seconds = 3601;
  facts.position_ms = -1;
  player::FillFormat(format, facts, L"/me ");
  if (!player::UnclosedPlaceholder(format) != player::FormatRefusal(format).empty()) std::abort();
  for (const wchar_t* prefix : {L"", L"/me ", L"np: "}) {
    if (zurelo::LineFormatRefusal(format, prefix, true).empty() &&
        !zurelo::FormatLine(format, facts, prefix, true)) {
      std::abort();
    }
  }
  return 0;
}
