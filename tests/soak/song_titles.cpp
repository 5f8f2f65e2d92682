#include "song_titles.h"

#include <windows.h>

namespace soak {
namespace {

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// Control characters go to a chat client as blanks.
std::wstring Blanked(std::wstring text) {
  for (wchar_t& c : text) {
    if (c < 0x20 || c == 0x7F) c = L' ';
  }
  return text;
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

// The text in a code page as the window system converts it: for the ANSI code page
// look-alikes allowed.
std::string Convert(UINT code_page, const std::wstring& text) {
  constexpr DWORD flags = 0;
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  const int n =
      WideCharToMultiByte(code_page, flags, text.data(), in, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, flags, text.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

const std::vector<std::wstring>& SoakTitles() {
  static const std::vector<std::wstring> titles = {
      L"1. Daft Punk - One More Time (5:20) - Winamp",
      L"12. Bj\u00F6rk - J\u00F3ga - Winamp",
      L"3. Sigur R\u00F3s - Hopp\u00EDpolla (4:28) - Winamp",
      L"007. Caf\u00E9 Tacvba - Eres - Winamp",
      L"42. Mot\u00F6rhead - Ace of Spades (2:49) - Winamp",
      L"5. M\u00F6tley Cr\u00FCe - Kickstart My Heart - Winamp",
      L"8. \u5B87\u591A\u7530\u30D2\u30AB\u30EB - First Love - Winamp",
      L"9. \u041A\u0438\u043D\u043E - \u0413\u0440\u0443\u043F\u043F\u0430 "
      L"\u043A\u0440\u043E\u0432\u0438 - Winamp",
      L"10. Blur - Song 2 - Winamp",
      L"11. 50 Cent - In Da Club - Winamp",
      L"13. Artist - Track (Live) - Winamp",
      L"[Opening] 14. Massive Attack - Teardrop - Winamp",
      L"15. Moby *** Porcelain - Winamp",
      L"16. Beyonc\u00E9 \u2013 Halo (3:45) - Winamp",
      L"99. Se\u00F1or Coconut - Smoke on the Water - Winamp",
      L"100. Prince - 1999 - Winamp",
      L"18. Le Caf\u00E9 de Flore \u2013 \u00C0 Paris (2:31) - Winamp",
      L"20. \u00D8rjan Nilsen - So Long Radio (3:33) - Winamp",
      // Two titles, one song: the log must not take the second as new.
      L"21. Artist - Song (3:45) - Winamp",
      L"22. Artist - Song (3:46) - Winamp",
      L"23. Daft Punk - One More Time (5:20) - Winamp",
      // Paused: the state word after the player's name is no new song either.
      L"23. Daft Punk - One More Time (5:20) - Winamp [Paused]",
  };
  return titles;
}

std::wstring ReadTitle(const std::wstring& title) {
  if (title.size() <= 255) return title;
  std::wstring read = title.substr(0, 255);
  if (IsHighSurrogate(read.back())) read.pop_back();
  return read;
}

std::optional<std::wstring> CleanSong(const std::wstring& read) {
  std::wstring title = read;
  const std::size_t state = title.rfind(L" - Winamp [");
  if (!title.empty() && title.back() == L']' && state != std::wstring::npos) {
    title.resize(state + 9);
  }
  if (title.size() < 9) return std::nullopt;
  std::wstring s = title.substr(0, title.size() - 9);
  if (!s.empty() && IsHighSurrogate(s.back())) s.pop_back();
  while (!s.empty() && (IsDigit(s.front()) || s.front() == L'.' || s.front() == L' ')) {
    s.erase(0, 1);
  }
  while (!s.empty() &&
         (IsDigit(s.back()) || s.back() == L')' || s.back() == L' ' || s.back() == L':')) {
    s.pop_back();
  }
  if (!s.empty() && s.back() == L'(') s.pop_back();
  return s;
}

std::optional<std::wstring> LabelFor(const std::wstring& title) {
  return CleanSong(ReadTitle(title));
}

std::wstring LoggedForm(const std::wstring& song) {
  // Exactly "[Opening]" has no tenth character to drop after the marker, and stays.
  if (song.size() >= 10 && song.compare(0, 9, L"[Opening]") == 0) return song.substr(10);
  return song;
}

std::string AnsiBytes(const std::wstring& line) {
  return Convert(CP_ACP, Blanked(line));
}

std::string UnicodeBytes(const std::wstring& line) {
  return Convert(CP_UTF8, Blanked(line));
}

}  // namespace soak
