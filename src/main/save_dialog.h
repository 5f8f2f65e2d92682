#pragma once
// The save dialog for text files, shared by the song log and the now-playing file.

#include <windows.h>

#include <optional>
#include <string>

namespace zurelo {

// Shows the save dialog with the name proposed; the name chosen, or nothing when the user
// cancelled (a dialog that could not be shown says so in a box). confirm_replace asks
// before an existing file is chosen.
std::optional<std::wstring> AskSaveFile(HWND owner, const std::wstring& proposed,
                                        bool confirm_replace = false);

}  // namespace zurelo
