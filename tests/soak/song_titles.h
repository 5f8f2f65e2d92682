#pragma once
// Player titles for the soak runs, and what the program is expected to make of a title:
// the text its title read yields, the cleaned song the label shows, the form the log
// keeps, and what a chat client receives. Worked out here from the documented rules,
// independently of the program's own code.

#include <optional>
#include <string>
#include <vector>

namespace soak {

inline constexpr wchar_t kNotFound[] = L"Winamp 6 Not Found";
inline constexpr wchar_t kDefaultPrefix[] = L"{Zurelo 1.0} Now Playing: ";

// Titles as the player shows them: track numbers, play times, brackets, a scrolling
// marker, "[Opening]", characters of the ANSI code page and characters it lacks, and
// neighbours that clean to the same song.
const std::vector<std::wstring>& SoakTitles();

// The title as a 256-unit wide read gives it back: its first 255 UTF-16 units, without
// the first half of a pair whose second half the limit cut off.
std::wstring ReadTitle(const std::wstring& title);

// The song the label shows for a title read as read: a state in brackets after " - Winamp"
// dropped, the last nine characters dropped (with a pair they cut into), then track numbers
// in front and a play time at the end. Nothing when read is shorter than nine characters
// (the label then keeps what it showed).
std::optional<std::wstring> CleanSong(const std::wstring& read);

// The label's text for a title the player shows.
std::optional<std::wstring> LabelFor(const std::wstring& title);

// What the log keeps for a song the label shows: "[Opening] " in front is dropped.
std::wstring LoggedForm(const std::wstring& song);

// What a chat client's input receives for a line, control characters as blanks, in the
// form the peer logs it. An ANSI input: the bytes of the ANSI code page as the window
// system converts the text (look-alikes or "?" for what it lacks).
std::string AnsiBytes(const std::wstring& line);
// A Unicode input: the text as it is, logged as UTF-8.
std::string UnicodeBytes(const std::wstring& line);

}  // namespace soak
