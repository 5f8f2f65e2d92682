#pragma once
// The peer's event log: one line per event, appended to a file with a single write so a
// reader in another process sees whole lines as soon as they happen. The line format is
// described in tests/e2e/harness.h.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace peer {

class Log {
 public:
  // Opens (or creates) the file for appending; false when it cannot be opened.
  bool Open(const std::wstring& path);
  // Appends the line and a line feed.
  void Write(std::string_view line);

 private:
  platform::win32::UniqueHandle file_;
};

// Each byte as two upper-case hex digits ("48E9").
std::string HexBytes(std::string_view bytes);
// Printable ASCII as is, a backslash as "\\", every other byte as "\xNN".
std::string Readable(std::string_view bytes);
// A number in hex with a 0x prefix.
std::string HexNumber(unsigned long long value);
inline std::string HexNumber(const void* p) {
  return HexNumber(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p)));
}
// " hex=<HexBytes> text=<Readable>": the two fields that end a line with text.
std::string TextFields(std::string_view bytes);

}  // namespace peer
