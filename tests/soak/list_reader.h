#pragma once
// Reading the song log's list box from outside while the log may still take songs.
//
// LB_GETTEXT copies a whole entry and is told no buffer size. Between asking an entry's
// length and reading it, the log can put a new song at the top and shift a longer entry
// into that index; a buffer of the length asked would then be overrun. Every read here has
// room for far more than an entry can hold (a title is read with 255 characters at most).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace soak {

// The entries, top first; empty when the list does not answer.
std::vector<std::wstring> ListEntries(HWND list);
// The top entry, or nothing when the list is empty or does not answer.
std::optional<std::wstring> TopEntry(HWND list);

}  // namespace soak
