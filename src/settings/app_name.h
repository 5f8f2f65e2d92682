#pragma once
// The name the settings are stored under.

#include <string>

namespace settings {

// The application name under which settings are stored: the executable's base name.
std::wstring AppNameFromPath(const std::wstring& exe_path);

}  // namespace settings
