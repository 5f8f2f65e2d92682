#include "peer_log.h"

namespace peer {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}  // namespace

bool Log::Open(const std::wstring& path) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end, whole.
  HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  file_.reset(h);
  return true;
}

void Log::Write(std::string_view line) {
  if (!file_) return;
  std::string out(line);
  out += '\n';
  DWORD written = 0;
  WriteFile(file_.get(), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

std::string HexBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

std::string Readable(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7F) {
      out += c;
    } else {
      out += "\\x";
      out += kDigits[b >> 4];
      out += kDigits[b & 0x0F];
    }
  }
  return out;
}

std::string HexNumber(unsigned long long value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0x0F]);
    value >>= 4;
  } while (value != 0);
  return "0x" + digits;
}

std::string TextFields(std::string_view bytes) {
  return " hex=" + HexBytes(bytes) + " text=" + Readable(bytes);
}

}  // namespace peer
