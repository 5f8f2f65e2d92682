#include "list_reader.h"

#include <algorithm>

namespace soak {
namespace {

constexpr UINT kAnswerMs = 5000;
// Characters of room beyond the length asked: a hundred times the longest entry.
constexpr std::size_t kRoom = 32 * 1024;

std::optional<std::wstring> Entry(HWND list, WPARAM index, std::wstring& buffer) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_NORMAL, kAnswerMs, &length) ||
      static_cast<LRESULT>(length) == LB_ERR) {
    return std::nullopt;
  }
  buffer.assign(static_cast<std::size_t>(length) + kRoom, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_NORMAL, kAnswerMs, &got) ||
      static_cast<LRESULT>(got) == LB_ERR) {
    return std::nullopt;
  }
  return buffer.substr(0, std::min<std::size_t>(static_cast<std::size_t>(got), buffer.size() - 1));
}

}  // namespace

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kAnswerMs, &count)) {
    return entries;
  }
  std::wstring buffer;
  for (WPARAM i = 0; i < count; ++i) {
    std::optional<std::wstring> entry = Entry(list, i, buffer);
    if (!entry) break;
    entries.push_back(std::move(*entry));
  }
  return entries;
}

std::optional<std::wstring> TopEntry(HWND list) {
  std::wstring buffer;
  return Entry(list, 0, buffer);
}

}  // namespace soak
