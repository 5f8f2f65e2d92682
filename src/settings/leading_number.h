#pragma once
// The number a typed pause begins with: what the announcer waits after each line.

#include <string>

namespace settings {

// The leading number of a text: leading blanks, an optional sign, digits, an optional "."
// part and exponent; 0 when the text does not begin with a number. The point is always ".".
double LeadingNumber(const std::wstring& text);

}  // namespace settings
