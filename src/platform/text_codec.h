#pragma once
// Conversion between the program's wide texts and the system's ANSI code page, and the
// small text rules shared by everything that hands a text to the outside.

#include <optional>
#include <string>

namespace platform {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // Characters the code page lacks become its default character ("?"), never a look-alike.
  virtual std::string ToAnsi(const std::wstring& text) = 0;
  // The text in the code page only when every character has its own place there and comes
  // back unchanged; nothing when any character would be lost or replaced.
  virtual std::optional<std::string> ToAnsiExact(const std::wstring& text) = 0;
  virtual std::wstring FromAnsi(const std::string& bytes) = 0;
};

// The text with every control character (U+0000 to U+001F and U+007F) and every other line
// break (U+0085, U+2028, U+2029) made a blank: a line break typed into a chat box would send
// two lines, and in a file it would split an entry.
inline std::wstring BlankControlCharacters(std::wstring text) {
  for (wchar_t& c : text) {
    if (c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029) c = L' ';
  }
  return text;
}

// The two halves of a character beyond the first plane, in UTF-16.
inline bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace platform
