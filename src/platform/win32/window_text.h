#pragma once
// A window's text read with WM_GETTEXT. It works for a window of any process, where
// GetWindowText of another process's edit control gives its caption instead, and gives up
// on a window that does not answer, so a reader never hangs on a hung program. And a
// window's caption, read without a message (titles, and labels whose text is their caption).

#include <windows.h>

#include <algorithm>
#include <string>
#include <type_traits>

namespace platform::win32 {

// How long a window may take to answer by default.
inline constexpr UINT kTextAnswerMs = 5000;

// A window's text through send(msg, wParam, lParam, &result), which sends one message the
// way its caller needs (with a timeout, or between a chat line's steps) and answers false
// when the window did not answer; empty then.
template <typename Char, typename Send>
std::basic_string<Char> ReadText(Send send) {
  DWORD_PTR length = 0;
  if (!send(WM_GETTEXTLENGTH, 0, 0, &length) || length == 0) return {};
  // One more for the terminating NUL, which WM_GETTEXT always writes. The length may be
  // more than the text (an ANSI window counts bytes generously), never less.
  std::basic_string<Char> text(static_cast<std::size_t>(length) + 1, Char{});
  DWORD_PTR got = 0;
  if (!send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got)) return {};
  text.resize(std::min<std::size_t>(static_cast<std::size_t>(got), text.size() - 1));
  return text;
}

namespace detail {

template <typename Char>
bool SendForText(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT timeout_ms, DWORD_PTR* result) {
  if constexpr (std::is_same_v<Char, wchar_t>) {
    return SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, timeout_ms, result) != 0;
  } else {
    return SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, timeout_ms, result) != 0;
  }
}

template <typename Char>
std::basic_string<Char> TextAs(HWND w, UINT timeout_ms) {
  if (!w) return {};
  return ReadText<Char>([&](UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    return SendForText<Char>(w, msg, wp, lp, timeout_ms, result);
  });
}

}  // namespace detail

// The window's text; empty when it has none or does not answer within timeout_ms.
inline std::wstring TextOf(HWND w, UINT timeout_ms = kTextAnswerMs) {
  return detail::TextAs<wchar_t>(w, timeout_ms);
}

// The same as bytes of the ANSI code page, as an ANSI window holds its text.
inline std::string AnsiTextOf(HWND w, UINT timeout_ms = kTextAnswerMs) {
  return detail::TextAs<char>(w, timeout_ms);
}

// A window's caption as the window system keeps it, at most max_count - 1 units, Unicode.
// For another program's window no message is sent: that program is not woken, and cannot
// hold the read. (An edit control of another program gives its caption, not its text.)
inline std::wstring CaptionOf(HWND w, int max_count) {
  if (max_count <= 0) return {};
  std::wstring text(static_cast<std::size_t>(max_count), L'\0');
  const int n = GetWindowTextW(w, text.data(), max_count);
  text.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return text;
}

}  // namespace platform::win32
