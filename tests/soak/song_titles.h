#pragma once
// Player titles for the soak runs, and what the program is expected to make of a title:
// the text its ANSI title read yields, the cleaned song the label shows, the form the log
// keeps, and the bytes a chat client receives. Worked out here from the documented rules,
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

// The title as a 256-character ANSI read gives it back: converted to the ANSI code page
// as the window system converts titles, cut to 255 bytes, and widened again.
std::wstring ReadThroughAnsi(const std::wstring& title);

// The song the label shows for a title read as read: the last nine characters dropped,
// then track numbers in front and a play time at the end. Nothing when read is shorter
// than nine characters (the label then keeps what it showed).
std::optional<std::wstring> CleanSong(const std::wstring& read);

// The label's text for a title the player shows.
std::optional<std::wstring> LabelFor(const std::wstring& title);

// What the log keeps for a song the label shows: "[Opening] " in front is dropped.
std::wstring LoggedForm(const std::wstring& song);

// The bytes a chat client receives for a line: the ANSI code page, with "?" for every
// character it lacks.
std::string AnsiBytes(const std::wstring& line);

}  // namespace soak
