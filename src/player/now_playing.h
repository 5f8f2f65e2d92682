#pragma once
// Reading what the player plays from its main window title, and the leading number of a text.

#include <optional>
#include <string>

#include "platform/window_system.h"

namespace player {

inline constexpr wchar_t kPlayerClass[] = L"Winamp v1.x";
inline constexpr wchar_t kPlayerNotFound[] = L"Winamp 6 Not Found";
// The title is read into a buffer of this many UTF-16 units (the last one for the NUL).
inline constexpr int kTitleBufferChars = 256;

// How much of the title a read holds: all of it, or as much as filled the buffer, in which
// case the title may go on beyond and the last unit may be half a pair.
enum class TitleRead { kWhole, kFilledBuffer };

// Cuts a player title down to the song: drops a state in brackets after the suffix
// (" - Winamp [Paused]", or its start "... - Winamp [Pau" when the read filled the buffer),
// the " - Winamp" suffix (the last nine UTF-16 units, and the rest of a pair they cut into),
// leading track numbers, and a trailing play time. Nothing when the title is shorter than the
// suffix.
//
// The player can scroll its title: it then shows T + " *** " + T from one of its characters
// on, as much as the read holds. That is read as T, which is then cut as above. It counts as
// scrolled only when the T it gives back ends as the player ends its titles (the suffix, maybe
// with a state), and then:
// - read whole: the text after a " *** " is T, and the text before it an end of that T;
// - read to the buffer's end: the text after the " *** " is a start of T, the text before it
//   an end of T, joined where they overlap (the longest overlap);
// - "*** T", "** T", "* T": the scroll is inside the marker (" T" needs nothing, the leading
//   clean-up takes the blank).
// A T of up to 250 units always comes back: the read holds start and end of it, meeting or
// overlapping. Where two titles scroll to the same text the shorter is read: at exactly 250
// units, a "Hello" whose "ll" falls where the two pieces meet comes back as "Helo" at that
// step. A longer T never shows whole: its start and end are joined all the same, so its
// reading changes as it scrolls. Any other title with a " *** " or a leading "*" is read as
// it stands.
std::optional<std::wstring> CleanTitle(const std::wstring& title,
                                       TitleRead read = TitleRead::kWhole);

// The cleaned song, kPlayerNotFound when no player runs, nothing when the title is too short
// (the caller then keeps what it had).
std::optional<std::wstring> ReadNowPlaying(platform::WindowSystem& windows);

// The leading number of a text: leading blanks, an optional sign, digits, an optional "."
// part and exponent; 0 when the text does not begin with a number. The point is always ".".
double LeadingNumber(const std::wstring& text);

}  // namespace player
