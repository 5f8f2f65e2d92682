#include "main/line_format.h"

#include "player/song_format.h"

namespace zurelo {
namespace {

std::vector<chat::LinePart> LineParts(const std::wstring& format, const player::SongFacts& facts,
                                      const std::wstring& prefix) {
  std::vector<chat::LinePart> parts;
  for (player::FormatPart& part : player::FillFormatParts(format, facts, prefix)) {
    parts.push_back({std::move(part.text), part.filled});
  }
  return parts;
}

}  // namespace

std::wstring LineFormatRefusal(const std::wstring& format, const std::wstring& prefix,
                               bool takes_commands) {
  if (format == kDefaultLineFormat) return chat::PrefixRefusal(prefix, takes_commands);
  const std::wstring unclosed = player::FormatRefusal(format);
  if (!unclosed.empty()) return unclosed;
  // The song's texts are judged whatever they hold, so any song stands for them.
  return chat::LineRefusal(LineParts(format, player::SongFacts{}, prefix), takes_commands);
}

std::optional<std::wstring> FormatLine(const std::wstring& format, const player::SongFacts& facts,
                                       const std::wstring& prefix, bool takes_commands) {
  if (!player::FormatRefusal(format).empty()) return std::nullopt;
  return chat::NowPlayingLine(LineParts(format, facts, prefix), takes_commands);
}

}  // namespace zurelo
