#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/text_codec.h"

namespace platform::win32 {

// --- Text conversion in the system's ANSI code page.
class AnsiCodec : public TextCodec {
 public:
  std::string ToAnsi(const std::wstring& text) override;
  std::optional<std::string> ToAnsiExact(const std::wstring& text) override;
  std::wstring FromAnsi(const std::string& bytes) override;
};

}  // namespace platform::win32
