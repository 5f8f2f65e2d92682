#include "player/now_playing.h"

#include <cmath>
#include <cstdlib>

#include "platform/text_codec.h"

namespace player {
namespace {

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// The suffix " - Winamp" that the player appends to the song.
constexpr std::size_t kSuffixChars = 9;
// Paused or stopped, the player writes its state in brackets after the suffix:
// "... - Winamp [Paused]", in whatever language it speaks.
constexpr wchar_t kStateOpening[] = L" - Winamp [";

}  // namespace

std::optional<std::wstring> CleanTitle(const std::wstring& title) {
  // The title is cut at its first NUL, as the fixed buffer would cut it.
  std::wstring s = title.substr(0, title.find(L'\0'));
  // The state word is not part of the song: read the title as if it ended at the suffix.
  if (!s.empty() && s.back() == L']') {
    const std::size_t state = s.rfind(kStateOpening);
    if (state != std::wstring::npos) s.resize(state + kSuffixChars);
  }
  if (s.size() < kSuffixChars) return std::nullopt;
  s.resize(s.size() - kSuffixChars);
  // A character whose second half fell to the cut goes whole: half a pair is no character.
  if (!s.empty() && platform::IsHighSurrogate(s.back())) s.pop_back();

  std::size_t first = 0;
  while (first < s.size() && (IsDigit(s[first]) || s[first] == L'.' || s[first] == L' ')) ++first;
  s.erase(0, first);

  std::size_t end = s.size();
  while (end > 0 &&
         (IsDigit(s[end - 1]) || s[end - 1] == L')' || s[end - 1] == L' ' || s[end - 1] == L':')) {
    --end;
  }
  s.resize(end);
  if (!s.empty() && s.back() == L'(') s.pop_back();
  return s;
}

std::optional<std::wstring> ReadNowPlaying(platform::WindowSystem& windows) {
  const platform::Handle winamp = windows.FindTopLevel(kPlayerClass);
  // Any handle but 0 is a window: a handle with its top bit set is as valid as any other.
  if (winamp == 0) return std::wstring(kPlayerNotFound);
  std::wstring title = windows.GetTitle(winamp, kTitleBufferChars);
  // The length limit may end the read between the two halves of a pair: drop the first half.
  const auto limit = static_cast<std::size_t>(kTitleBufferChars - 1);
  if (title.size() == limit && platform::IsHighSurrogate(title.back())) title.pop_back();
  return CleanTitle(title);
}

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

void WaitSeconds(double seconds, platform::Clock& clock, platform::EventPump& pump) {
  const double start = clock.NowSeconds();
  for (;;) {
    const double elapsed = clock.NowSeconds() - start;
    if (!(elapsed < seconds)) return;
    // Sleep until an event comes or the time is up; an infinite wait sleeps in slices.
    double left = seconds - elapsed;
    if (!std::isfinite(left) || left > 3600.0) left = 3600.0;
    pump.WaitAndDispatch(left);
  }
}

void WaitSeconds(const std::wstring& seconds, platform::Clock& clock, platform::EventPump& pump) {
  WaitSeconds(LeadingNumber(seconds), clock, pump);
}

}  // namespace player
