#pragma once
// The bytes of a saved song log. A log whose every entry fits the ANSI code page is written
// in it, as always; one that holds a character the code page lacks is written whole in
// UTF-8 with a byte-order mark, so nothing is lost and editors know the encoding.

#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace zurelo {

// One line per entry in the given order, each ended by CR LF, control characters made
// blanks. An empty log gives no bytes at all.
std::string EncodeLogFile(const std::vector<std::wstring>& entries, platform::TextCodec& codec);

// The now-playing file: the song in UTF-8 with a byte-order mark (what streaming programs
// and the Windows editors read), one line without a line break, control characters blanks.
std::string EncodeNowPlayingFile(const std::wstring& song);

}  // namespace zurelo
