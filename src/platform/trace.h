#pragma once
// One line each time the program deliberately ignores or gives up something (a failure
// stopped at a window procedure, a send given up on a hung client, a Reload that could not
// start the new copy), so that someone watching can see why it did not happen. Nothing is
// written while nothing fails.

#include <string>

namespace platform {

void Trace(const std::wstring& what);

// Where the lines go: on Windows the debugger's output (a debug viewer, or
// WINEDEBUG=+debugstr under Wine). Nowhere until one is set.
using TraceSink = void (*)(const std::wstring& line);
void SetTraceSink(TraceSink sink);

}  // namespace platform
