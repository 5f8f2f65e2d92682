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
  const std::wstring head = platform::BlankControlCharacters(prefix);
  std::wstring tail = platform::BlankControlCharacters(song);
  if (FirstNonBlank(head) == std::wstring::npos) {
    const std::size_t first = FirstNonBlank(tail);
    if (first != std::wstring::npos && tail[first] == kCommandChar) tail[first] = kSlashLookAlike;
  } else if (IsCommand(head)) {
    std::replace(tail.begin(), tail.end(), L'|', kBarLookAlike);
  }
  return head + tail;
}

}  // namespace chat
