#pragma once
// Reading the song log's list box from outside while the log may still take songs.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"

namespace soak {

// The entries, top first; empty when the list does not answer.
inline std::vector<std::wstring> ListEntries(HWND list) {
  return e2e::ListItems(list);
}
// The top entry, or nothing when the list is empty or does not answer.
inline std::optional<std::wstring> TopEntry(HWND list) {
  std::vector<std::wstring> entries = e2e::ListItems(list);
  if (entries.empty()) return std::nullopt;
  return std::move(entries.front());
}

}  // namespace soak
