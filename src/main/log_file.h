#pragma once
// The bytes of a saved song log. A log whose every entry fits the ANSI code page is written
// in it, byte for byte what a reader of that code page expects; one that holds a character
// the code page lacks is written whole in UTF-8 with a byte-order mark, so nothing is lost
// and editors know the encoding.

#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace zurelo {

// One line per entry in the given order, each ended by CR LF, control characters made
// blanks. An empty log gives no bytes at all.
std::string EncodeLogFile(const std::vector<std::wstring>& entries, platform::TextCodec& codec);

}  // namespace zurelo
