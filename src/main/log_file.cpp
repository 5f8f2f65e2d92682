#include "main/log_file.h"

#include <optional>

#include "platform/utf8.h"

namespace zurelo {
namespace {

constexpr char kCrLf[] = "\r\n";

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

  std::string utf8 = platform::kUtf8Mark;
  for (const std::wstring& line : lines) {
    utf8 += platform::ToUtf8(line);
    utf8 += kCrLf;
  }
  return utf8;
}

}  // namespace zurelo
