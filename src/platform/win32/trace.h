#pragma once
// One line for a debug viewer (or WINEDEBUG=+debugstr under Wine) each time the program
// deliberately ignores or gives up something, so a user can see why it did not happen.

#include <string>

namespace platform::win32 {

void Trace(const std::wstring& what);

}  // namespace platform::win32
