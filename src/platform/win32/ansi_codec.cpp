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
