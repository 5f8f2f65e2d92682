#include "settings/leading_number.h"

#include <cstdlib>
#include <string>

namespace settings {
namespace {

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

double LeadingNumber(const std::wstring& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n'))
    ++i;
  bool negative = false;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';

  // Accumulate the digits into a plain ASCII number and let the C library convert it:
  // mantissa digits, optional fraction, optional exponent.
  std::string number;
  bool any_digit = false;
  while (i < n && IsDigit(text[i])) number += static_cast<char>(text[i++]), any_digit = true;
  if (i < n && text[i] == L'.') {
    std::size_t j = i + 1;
    std::string fraction;
    while (j < n && IsDigit(text[j])) fraction += static_cast<char>(text[j++]);
    if (any_digit || !fraction.empty()) {
      number += '.';
      number += fraction;
      any_digit = true;
      i = j;
    }
  }
  if (!any_digit) return 0.0;
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < n && (text[j] == L'+' || text[j] == L'-')) exponent += static_cast<char>(text[j++]);
    bool exp_digit = false;
    while (j < n && IsDigit(text[j])) exponent += static_cast<char>(text[j++]), exp_digit = true;
    if (exp_digit) number += exponent;
  }
  // strtod in the "C" locale: the point is always ".". Overflow gives HUGE_VAL (infinity).
  const double value = std::strtod(number.c_str(), nullptr);
  return negative ? -value : value;
}

}  // namespace settings
