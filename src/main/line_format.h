#pragma once
// The now-playing line made from the line's format: the placeholders filled from what plays,
// under the rules of a box that takes commands.

#include <optional>
#include <string>
#include <vector>

#include "chat/now_playing_line.h"
#include "player/song_facts.h"

namespace zurelo {

// What the line is when no format was chosen: the prefix followed by the song.
inline constexpr wchar_t kDefaultLineFormat[] = L"{prefix}{song}";

// Why the format cannot make a line for a client (an unclosed placeholder; for a box that
// takes commands, a line the song could make a command of), fit for a box; empty when it
// can. The default format gives the prefix's own refusals.
std::wstring LineFormatRefusal(const std::wstring& format, const std::wstring& prefix,
                               bool takes_commands);
// The line for a client; nothing when the format is refused.
std::optional<std::wstring> FormatLine(const std::wstring& format, const player::SongFacts& facts,
                                       const std::wstring& prefix, bool takes_commands);

}  // namespace zurelo
