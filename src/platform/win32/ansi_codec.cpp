#include "platform/win32/ansi_codec.h"

#include <optional>
#include <string>

namespace platform::win32 {

namespace {

// The text in the code page, without look-alikes: WC_NO_BEST_FIT_CHARS makes a missing
// character the default character ("?"), and used_default (when given) reports that it
// happened. Code pages that take neither the flag nor the report (UTF-8) are converted
// without them; they hold every valid character. Nothing when the conversion fails.
std::optional<std::string> Narrow(const std::wstring& text, BOOL* used_default) {
  if (text.empty()) return std::string();
  const int in = static_cast<int>(text.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, used_default);
  if (n == 0 &&
      (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER)) {
    flags = 0;
    used_default = nullptr;
    n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  }
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), in, out.data(), n, nullptr, used_default) !=
      n) {
    return std::nullopt;
  }
  return out;
}

}  // namespace

std::string AnsiCodec::ToAnsi(const std::wstring& text) {
  return Narrow(text, nullptr).value_or(std::string());
}

std::optional<std::string> AnsiCodec::ToAnsiExact(const std::wstring& text) {
  BOOL used_default = FALSE;
  std::optional<std::string> out = Narrow(text, &used_default);
  if (!out || used_default) return std::nullopt;
  // Only a text that comes back as it was is exact (a lone surrogate, for one, does not).
  if (FromAnsi(*out) != text) return std::nullopt;
  return out;
}

std::wstring AnsiCodec::FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int in = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), in, out.data(), n);
  return out;
}

}  // namespace platform::win32
