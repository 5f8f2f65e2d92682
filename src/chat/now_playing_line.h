#pragma once
// The now-playing line: the prefix followed by the song. The song is the player's title,
// which for a radio stream is whatever the station sends, so in an input box that takes
// commands (mIRC's: a line beginning with "/" is a command, "//" also evaluates "$" and "%",
// and " | " separates commands) the song must never start a command or run one of its own.

#include <optional>
#include <string>
#include <vector>

namespace chat {

// Look-alikes the song gets in place of a character that a command box would act on.
inline constexpr wchar_t kSlashLookAlike = L'\u2215';  // DIVISION SLASH, for a leading "/"
inline constexpr wchar_t kBarLookAlike = L'\u2223';    // DIVIDES, for "|"

// Why the prefix cannot go before a song into a box that takes commands: it begins with
// "//", or with a "/" whose command is not ended by a blank inside the prefix (the song
// would then name or finish the command). Empty when it can, and always for a box that
// takes no commands. Fit to show in a box when the announcer is switched on.
std::wstring PrefixRefusal(const std::wstring& prefix, bool takes_commands);

// The line for one client. For a box that takes no commands: exactly prefix + song. For one
// that does, control characters are blanks, and
// - when the line would begin with the song (prefix empty or blank), a "/" that the song
//   would begin it with becomes kSlashLookAlike, so the line is plain text;
// - after a prefix beginning with one "/" (as "/me np: "), every "|" of the song becomes
//   kBarLookAlike, so the song is that command's text and nothing more;
// - after a refused prefix (PrefixRefusal), nothing: the line must not be sent.
std::optional<std::wstring> NowPlayingLine(const std::wstring& prefix, const std::wstring& song,
                                           bool takes_commands);

// A line made from a format: the user's own text, and texts that came from the song (its
// artist, its title, anything the player says), which follow the same rules as the song.
struct LinePart {
  std::wstring text;
  bool from_song = false;
};

// PrefixRefusal for a line of parts, whatever the song's texts turn out to be (empty ones
// included): the user's own text must not begin with "//", and a "/" that begins it must
// end its command with a blank of its own before any text of the song.
std::wstring LineRefusal(const std::vector<LinePart>& parts, bool takes_commands);
// NowPlayingLine for a line of parts: the song's texts are only text, wherever they stand.
std::optional<std::wstring> NowPlayingLine(const std::vector<LinePart>& parts, bool takes_commands);

}  // namespace chat
