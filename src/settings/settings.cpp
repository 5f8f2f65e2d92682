#include "settings/settings.h"

#include <cmath>
#include <cstdlib>

#include "settings/settings_model.h"

namespace settings {

void MakeTranslucent(platform::WindowSystem& windows, platform::Handle window, std::int16_t alpha) {
  if (alpha < 0 || alpha > 255) return;
  // The layered style is only ever added: a translucent window stays layered for the run.
  const std::optional<std::uint32_t> style = windows.GetExStyle(window);
  if (!style) return;
  windows.SetExStyle(window, *style | kExLayered);
  windows.SetLayeredAlpha(window, static_cast<std::uint8_t>(alpha));
}

void ApplyStoredTranslucency(const std::wstring& stored, platform::WindowSystem& windows,
                             platform::Handle window) {
  if (stored == kOn) MakeTranslucent(windows, window, kAlphaOn);
}

void ApplyChosenTranslucency(const std::wstring& chosen, platform::WindowSystem& windows,
                             platform::Handle window) {
  MakeTranslucent(windows, window, chosen == kOn ? kAlphaOn : kAlphaOff);
}

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

std::wstring AppNameFromPath(const std::wstring& exe_path) {
  const std::size_t slash = exe_path.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? exe_path : exe_path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace settings
