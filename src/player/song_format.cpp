#include "player/song_format.h"

#include <array>

namespace player {
namespace {

enum class Name { kSong, kArtist, kTitle, kNumber, kLength, kPosition, kState, kPrefix };

struct KnownName {
  const wchar_t* text;
  Name name;
};

constexpr std::array<KnownName, 8> kNames{{
    {L"song", Name::kSong},
    {L"artist", Name::kArtist},
    {L"title", Name::kTitle},
    {L"number", Name::kNumber},
    {L"length", Name::kLength},
    {L"position", Name::kPosition},
    {L"state", Name::kState},
    {L"prefix", Name::kPrefix},
}};

bool IsNameLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// The letters at pos, when they are a placeholder's name.
std::optional<Name> NameAt(const std::wstring& format, std::size_t pos, std::size_t* end) {
  std::size_t e = pos;
  while (e < format.size() && IsNameLetter(format[e])) ++e;
  const std::wstring word = format.substr(pos, e - pos);
  for (const KnownName& known : kNames) {
    if (word == known.text) {
      *end = e;
      return known.name;
    }
  }
  return std::nullopt;
}

std::wstring Value(Name name, const SongFacts& facts, const std::wstring& prefix) {
  switch (name) {
    case Name::kSong:
      return facts.song;
    case Name::kArtist:
      return SplitSong(facts.song).artist;
    case Name::kTitle:
      return SplitSong(facts.song).title;
    case Name::kNumber:
      if (!facts.list_position || *facts.list_position < 0) return {};
      return std::to_wstring(static_cast<long long>(*facts.list_position) + 1);
    case Name::kLength:
      return facts.length_seconds ? FormatDuration(*facts.length_seconds) : std::wstring();
    case Name::kPosition:
      if (!facts.position_ms || *facts.position_ms < 0) return {};
      return FormatDuration(*facts.position_ms / 1000);
    case Name::kState:
      switch (facts.state) {
        case PlayerState::kPlaying:
          return L"playing";
        case PlayerState::kPaused:
          return L"paused";
        case PlayerState::kStopped:
        case PlayerState::kNone:
          return L"stopped";
      }
      return {};
    case Name::kPrefix:
      return prefix;
  }
  return {};
}

void Append(std::vector<FormatPart>& parts, std::wstring text, bool filled) {
  if (!parts.empty() && parts.back().filled == filled) {
    parts.back().text += text;
  } else {
    parts.push_back({std::move(text), filled});
  }
}

}  // namespace

std::vector<FormatPart> FillFormatParts(const std::wstring& format, const SongFacts& facts,
                                        const std::wstring& prefix) {
  std::vector<FormatPart> parts;
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] != L'{') {
      const std::size_t next = format.find(L'{', i);
      const std::size_t end = next == std::wstring::npos ? format.size() : next;
      Append(parts, format.substr(i, end - i), false);
      i = end;
      continue;
    }
    std::size_t braces = i;
    while (braces < format.size() && format[braces] == L'{') ++braces;
    const std::size_t run = braces - i;
    std::size_t name_end = 0;
    const std::optional<Name> name = NameAt(format, braces, &name_end);
    if (!name || name_end >= format.size() || format[name_end] != L'}') {
      // Not a placeholder (or an unclosed one, which a checked format never has): as typed.
      Append(parts, format.substr(i, run), false);
      i = braces;
      continue;
    }
    // Two braces before the name make one; a brace left over opens the placeholder.
    Append(parts, std::wstring(run / 2, L'{'), false);
    if (run % 2 == 1) {
      const std::wstring value = Value(*name, facts, prefix);
      Append(parts, value, *name != Name::kPrefix);
    } else {
      Append(parts, format.substr(braces, name_end + 1 - braces), false);
    }
    i = name_end + 1;
  }
  return parts;
}

std::wstring FillFormat(const std::wstring& format, const SongFacts& facts,
                        const std::wstring& prefix) {
  std::wstring text;
  for (const FormatPart& part : FillFormatParts(format, facts, prefix)) text += part.text;
  return text;
}

std::optional<std::size_t> UnclosedPlaceholder(const std::wstring& format) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'{') continue;
    std::size_t braces = i;
    while (braces < format.size() && format[braces] == L'{') ++braces;
    std::size_t name_end = 0;
    if (NameAt(format, braces, &name_end) &&
        (name_end >= format.size() || format[name_end] != L'}')) {
      return i;
    }
    i = braces - 1;
  }
  return std::nullopt;
}

std::wstring FormatRefusal(const std::wstring& format) {
  const std::optional<std::size_t> at = UnclosedPlaceholder(format);
  if (!at) return {};
  std::size_t end = *at;
  while (end < format.size() && format[end] == L'{') ++end;
  while (end < format.size() && IsNameLetter(format[end])) ++end;
  return L"The placeholder \"" + format.substr(*at, end - *at) +
         L"\" is not closed: write it with its \"}\", as in \"{artist}\". To show a brace "
         L"before a name as it is, double it (\"{{artist}\" shows \"{artist}\").";
}

ArtistAndTitle SplitSong(const std::wstring& song) {
  const std::size_t dash = song.find(L" - ");
  if (dash == std::wstring::npos) return {L"", song};
  return {song.substr(0, dash), song.substr(dash + 3)};
}

std::wstring FormatDuration(long long seconds) {
  if (seconds < 0) return {};
  const long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  const auto two = [](long long n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); };
  if (h > 0) return std::to_wstring(h) + L":" + two(m) + L":" + two(s);
  return std::to_wstring(m) + L":" + two(s);
}

}  // namespace player
