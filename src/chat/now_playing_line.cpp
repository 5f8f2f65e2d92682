#include "chat/now_playing_line.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace chat {
namespace {

constexpr wchar_t kCommandChar = L'/';

constexpr wchar_t kDoubleSlashText[] =
    L"The prefix begins with \"//\", which makes mIRC evaluate the whole line, so a song "
    L"title could run commands. Begin the prefix with one \"/\" (such as \"/me np: \") or "
    L"with text.";
constexpr wchar_t kUnfinishedCommandText[] =
    L"The prefix begins with \"/\" but does not end its command with a blank, so the song "
    L"title would become part of the command. Write it like \"/me np: \", or begin the "
    L"prefix with text.";
constexpr wchar_t kFormatDoubleSlashText[] =
    L"The line's format begins with \"//\" (its prefix included), which makes mIRC evaluate the "
    L"whole line, so a song title could run commands. Begin it with one \"/\" (such as "
    L"\"/me is listening to {title}\") or with text.";
constexpr wchar_t kFormatUnfinishedCommandText[] =
    L"The line's format begins with \"/\" but does not end its command with a blank before the "
    L"first placeholder, so the song would become part of the command. Write it like "
    L"\"/me is listening to {title}\", or begin it with text.";

// Where the text starts, past blanks: a box may skip them before looking for "/".
std::size_t FirstNonBlank(const std::wstring& text) {
  return text.find_first_not_of(L' ');
}

bool IsCommand(const std::wstring& text) {
  const std::size_t first = FirstNonBlank(text);
  return first != std::wstring::npos && text[first] == kCommandChar;
}

}  // namespace

std::wstring PrefixRefusal(const std::wstring& prefix, bool takes_commands) {
  const std::wstring blanked = platform::BlankControlCharacters(prefix);
  if (!takes_commands || !IsCommand(blanked)) return {};
  const std::size_t word = FirstNonBlank(blanked) + 1;
  if (word < blanked.size() && blanked[word] == kCommandChar) return kDoubleSlashText;
  // A bare "/" repeats the last command; a command word the prefix leaves open is finished
  // by the song.
  const std::size_t end = blanked.find(L' ', word);
  if (end == word || end == std::wstring::npos) return kUnfinishedCommandText;
  return {};
}

std::optional<std::wstring> NowPlayingLine(const std::wstring& prefix, const std::wstring& song,
                                           bool takes_commands) {
  if (!takes_commands) return prefix + song;
  if (!PrefixRefusal(prefix, takes_commands).empty()) return std::nullopt;
  return NowPlayingLine({{prefix, false}, {song, true}}, takes_commands);
}

namespace {

enum class Fault { kNone, kDoubleSlash, kUnfinishedCommand };

// The user's text up to its first non-blank, the song's texts taken as empty: when that is a
// "/", the command it begins must be ended by a blank before any song text can follow.
Fault CommandFault(const std::vector<LinePart>& parts) {
  bool in_command = false, in_word = false;
  for (const LinePart& part : parts) {
    if (part.from_song) {
      if (in_command) return Fault::kUnfinishedCommand;
      continue;
    }
    for (const wchar_t c : platform::BlankControlCharacters(part.text)) {
      if (!in_command) {
        if (c == L' ') continue;
        if (c != kCommandChar) return Fault::kNone;
        in_command = true;
        continue;
      }
      // A bare "/" repeats the last command; a command word the text leaves open is
      // finished by the song.
      if (c == L' ') return in_word ? Fault::kNone : Fault::kUnfinishedCommand;
      if (c == kCommandChar && !in_word) return Fault::kDoubleSlash;
      in_word = true;
    }
  }
  return in_command ? Fault::kUnfinishedCommand : Fault::kNone;
}

}  // namespace

std::wstring LineRefusal(const std::vector<LinePart>& parts, bool takes_commands) {
  if (!takes_commands) return {};
  switch (CommandFault(parts)) {
    case Fault::kDoubleSlash:
      return kFormatDoubleSlashText;
    case Fault::kUnfinishedCommand:
      return kFormatUnfinishedCommandText;
    case Fault::kNone:
      break;
  }
  return {};
}

std::optional<std::wstring> NowPlayingLine(const std::vector<LinePart>& parts,
                                           bool takes_commands) {
  std::wstring line;
  if (!takes_commands) {
    for (const LinePart& part : parts) line += part.text;
    return line;
  }
  if (CommandFault(parts) != Fault::kNone) return std::nullopt;
  // The line's first non-blank decides what it is: a command when the user's text begins it
  // with "/", plain text otherwise, and a "/" of the song's never makes it a command.
  std::vector<LinePart> blanked;
  for (const LinePart& part : parts) {
    blanked.push_back({platform::BlankControlCharacters(part.text), part.from_song});
  }
  bool command = false;
  for (LinePart& part : blanked) {
    const std::size_t first = FirstNonBlank(part.text);
    if (first == std::wstring::npos) continue;
    if (part.from_song && part.text[first] == kCommandChar) part.text[first] = kSlashLookAlike;
    command = !part.from_song && part.text[first] == kCommandChar;
    break;
  }
  for (LinePart& part : blanked) {
    if (command && part.from_song) {
      std::replace(part.text.begin(), part.text.end(), L'|', kBarLookAlike);
    }
    line += part.text;
  }
  return line;
}

}  // namespace chat
