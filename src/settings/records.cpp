#include "settings/records.h"

namespace settings {
namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

}  // namespace

std::wstring EncodeRecords(const std::vector<Record>& records) {
  std::wstring text;
  for (std::size_t r = 0; r < records.size(); ++r) {
    if (r > 0) text += L'\n';
    for (std::size_t f = 0; f < records[r].size(); ++f) {
      if (f > 0) text += L'\t';
      for (const wchar_t c : records[r][f]) {
        switch (c) {
          case L'%':
            text += L"%25";
            break;
          case L'\t':
            text += L"%09";
            break;
          case L'\n':
            text += L"%0A";
            break;
          case L'\r':
            text += L"%0D";
            break;
          default:
            text += c;
        }
      }
    }
  }
  return text;
}

std::vector<Record> DecodeRecords(const std::wstring& text) {
  std::vector<Record> records;
  if (text.empty()) return records;
  records.emplace_back(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\n') {
      records.emplace_back(1);
    } else if (c == L'\t') {
      records.back().emplace_back();
    } else if (c == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
               HexDigit(text[i + 2]) >= 0) {
      records.back().back() +=
          static_cast<wchar_t>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else if (c != L'\r') {
      records.back().back() += c;
    }
  }
  return records;
}

}  // namespace settings
