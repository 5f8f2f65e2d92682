#include "platform/win32/ansi_codec.h"

namespace platform::win32 {

std::string AnsiCodec::ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  // Without WC_NO_BEST_FIT_CHARS a missing character would become a look-alike instead of
  // "?"; code pages that reject the flag (UTF-8) are converted without it.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  if (n == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  }
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

std::optional<std::string> AnsiCodec::ToAnsiExact(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int in = static_cast<int>(text.size());
  // WC_NO_BEST_FIT_CHARS with the used-default report tells a missing character apart from
  // a "?" of the text. Code pages that take neither (UTF-8) hold every valid character.
  BOOL used_default = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL* report = &used_default;
  int n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, report);
  if (n == 0 &&
      (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER)) {
    flags = 0;
    report = nullptr;
    n = WideCharToMultiByte(CP_ACP, flags, text.data(), in, nullptr, 0, nullptr, report);
  }
  if (n <= 0 || used_default) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), in, out.data(), n, nullptr, report) != n ||
      used_default) {
    return std::nullopt;
  }
  // Only a text that comes back as it was is exact (a lone surrogate, for one, does not).
  if (FromAnsi(out) != text) return std::nullopt;
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
