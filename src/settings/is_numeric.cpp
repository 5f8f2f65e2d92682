#include "settings/is_numeric.h"

#include <cmath>
#include <cstdlib>

namespace settings {
namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

bool IsNumeric(const std::wstring& text, wchar_t decimal_separator) {
  std::size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  // The number as plain ASCII, converted at the end to tell whether it is finite.
  std::string number;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) number += static_cast<char>(text[i++]);
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i])) number += static_cast<char>(text[i++]), ++digits;
  if (i < n && (text[i] == L'.' || text[i] == decimal_separator)) {
    ++i;
    number += '.';
    while (i < n && IsDigit(text[i])) number += static_cast<char>(text[i++]), ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    ++i;
    number += 'e';
    if (i < n && (text[i] == L'+' || text[i] == L'-')) number += static_cast<char>(text[i++]);
    std::size_t exp_digits = 0;
    while (i < n && IsDigit(text[i])) number += static_cast<char>(text[i++]), ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != n) return false;
  // A number too large for a double (1E+400) would make an endless pause. strtod reads
  // the point in the "C" locale, which the program never leaves.
  return std::isfinite(std::strtod(number.c_str(), nullptr));
}

}  // namespace settings
