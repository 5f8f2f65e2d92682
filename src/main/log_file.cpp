#include "main/log_file.h"

#include <optional>

namespace zurelo {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-8 of UTF-16 text; half of a pair without its other half becomes U+FFFD.
std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (platform::IsHighSurrogate(text[i]) && i + 1 < text.size() &&
        platform::IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (platform::IsHighSurrogate(text[i]) || platform::IsLowSurrogate(text[i]) ||
               c > 0x10FFFF) {  // beyond Unicode: only a 32-bit wchar_t can hold it
      c = kReplacement;
    }
    AppendUtf8(c, out);
  }
  return out;
}

}  // namespace

std::string EncodeLogFile(const std::vector<std::wstring>& entries, platform::TextCodec& codec) {
  std::vector<std::wstring> lines;
  lines.reserve(entries.size());
  for (const std::wstring& entry : entries) {
    lines.push_back(platform::BlankControlCharacters(entry));
  }

  std::string ansi;
  bool fits = true;
  for (const std::wstring& line : lines) {
    const std::optional<std::string> bytes = codec.ToAnsiExact(line);
    if (!bytes) {
      fits = false;
      break;
    }
    ansi += *bytes;
    ansi += kCrLf;
  }
  if (fits) return ansi;

  std::string utf8 = kUtf8Mark;
  for (const std::wstring& line : lines) {
    utf8 += ToUtf8(line);
    utf8 += kCrLf;
  }
  return utf8;
}

std::string EncodeNowPlayingFile(const std::wstring& song) {
  return kUtf8Mark + ToUtf8(platform::BlankControlCharacters(song));
}

}  // namespace zurelo
