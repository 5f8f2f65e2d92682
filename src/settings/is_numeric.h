#pragma once
// The settings window's test of a typed pause.

#include <string>

namespace settings {

// Whether the text reads as a number: blanks around, an optional sign, digits with an
// optional decimal part (the point or the user's decimal separator) and an optional exponent,
// whose value is finite.
bool IsNumeric(const std::wstring& text, wchar_t decimal_separator = L'.');

}  // namespace settings
