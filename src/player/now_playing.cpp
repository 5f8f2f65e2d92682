#include "player/now_playing.h"

#include <algorithm>
#include <string_view>

#include "platform/text_codec.h"

namespace player {
namespace {

using std::wstring_view;
constexpr std::size_t kNone = wstring_view::npos;

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

bool EndsWith(wstring_view text, wstring_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The suffix " - Winamp" that the player appends to the song.
constexpr wstring_view kSuffix = L" - Winamp";
// Paused or stopped, the player writes its state in brackets after the suffix:
// "... - Winamp [Paused]", in whatever language it speaks.
constexpr wstring_view kStateOpening = L" - Winamp [";
// A state is a word or two; an unclosed bracket further from the end is the song's own.
constexpr std::size_t kMaxStateChars = 32;
// What the player puts between the two copies of a title it scrolls.
constexpr wstring_view kScrollMarker = L" *** ";

// Whether a text ends as the player ends its titles: the suffix, or the suffix and a state.
bool EndsAsPlayerTitle(wstring_view text) {
  if (EndsWith(text, kSuffix)) return true;
  return !text.empty() && text.back() == L']' && text.rfind(kStateOpening) != kNone;
}

// The longest start of `end` that `start` ends with.
std::size_t LongestOverlap(wstring_view start, wstring_view end) {
  for (std::size_t n = std::min(start.size(), end.size()); n > 0; --n) {
    if (start.substr(start.size() - n) == end.substr(0, n)) return n;
  }
  return 0;
}

// Puts into `out` the title the player scrolls when `title` is one of its scrolled forms
// (the rule is in the header); `out` is reused from one candidate to the next.
bool Unscroll(wstring_view title, TitleRead read, std::wstring& out) {
  // From the right: in a title read whole, a marker that belongs to T's own text can only
  // stand left of the scroll's, in the end of T that comes first.
  for (std::size_t at = title.rfind(kScrollMarker); at != kNone;
       at = at == 0 ? kNone : title.rfind(kScrollMarker, at - 1)) {
    const wstring_view end = title.substr(0, at);
    const wstring_view start = title.substr(at + kScrollMarker.size());
    std::size_t overlap = end.size();
    if (!EndsWith(start, end)) {
      // Read whole, the text after the marker is all of T.
      if (read == TitleRead::kWhole) continue;
      overlap = LongestOverlap(start, end);
    }
    out.assign(start);
    out.append(end.substr(overlap));
    if (EndsAsPlayerTitle(out)) return true;
  }
  return false;
}

// Takes away the start that scrolling leaves before T, "*** " to "* " with any blanks before
// it, as often as it comes (the rule is in the header); true when it did.
bool DropMarkerRest(std::wstring& s) {
  std::size_t at = 0;
  bool stars_seen = false;
  for (;;) {
    std::size_t blanks = at;
    while (blanks < s.size() && s[blanks] == L' ') ++blanks;
    std::size_t stars = 0;
    while (stars < 3 && blanks + stars < s.size() && s[blanks + stars] == L'*') ++stars;
    if (stars == 0 || blanks + stars == s.size() || s[blanks + stars] != L' ') break;
    at = blanks + stars + 1;
    stars_seen = true;
  }
  if (!stars_seen || !EndsAsPlayerTitle(wstring_view(s).substr(at))) return false;
  s.erase(0, at);
  return true;
}

// The state a player title ends with, from the word in its brackets (its start when the read
// filled the buffer): "Paused" is told apart, any other word is taken as stopped.
PlayerState StateNamed(wstring_view word) {
  if (!word.empty() && word.back() == L']') word.remove_suffix(1);
  constexpr wstring_view kPaused = L"Paused";
  if (!word.empty() && kPaused.substr(0, word.size()) == word) return PlayerState::kPaused;
  return PlayerState::kStopped;
}

}  // namespace

std::optional<TitleReading> ReadTitle(const std::wstring& title, TitleRead read) {
  // The title is cut at its first NUL, as the fixed buffer would cut it; a read cut short
  // by the buffer then lies beyond, and what is left is whole.
  const std::size_t nul = title.find(L'\0');
  if (nul != kNone) read = TitleRead::kWhole;
  const wstring_view text = wstring_view(title).substr(0, nul);

  TitleReading reading;
  std::wstring& s = reading.song;
  bool scrolled = Unscroll(text, read, s);
  if (!scrolled) s.assign(text);
  if (DropMarkerRest(s)) scrolled = true;
  const bool cut = !scrolled && read == TitleRead::kFilledBuffer;
  // The read may end between the two halves of a pair: half a pair is no character.
  if (cut && !s.empty() && platform::IsHighSurrogate(s.back())) s.pop_back();

  // The state word is not part of the song: read the title as if it ended at the suffix.
  // A read that filled the buffer may have cut the state short, before its bracket closed.
  const bool closed_state = !s.empty() && s.back() == L']';
  if (closed_state || cut) {
    const std::size_t state = s.rfind(kStateOpening);
    const bool cut_state = cut && state != kNone && s.find(L']', state) == kNone &&
                           s.size() - state <= kStateOpening.size() + kMaxStateChars;
    if (state != kNone && (closed_state || cut_state)) {
      reading.state = StateNamed(wstring_view(s).substr(state + kStateOpening.size()));
      s.resize(state + kSuffix.size());
    }
  }
  if (s.size() < kSuffix.size()) return std::nullopt;
  s.resize(s.size() - kSuffix.size());
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
  return reading;
}

std::optional<std::wstring> CleanTitle(const std::wstring& title, TitleRead read) {
  auto reading = ReadTitle(title, read);
  if (!reading) return std::nullopt;
  return std::move(reading->song);
}

std::optional<TitleReading> ReadPlayer(platform::WindowSystem& windows) {
  PlayerReader reader;
  return reader.Read(windows);
}

const std::optional<TitleReading>& PlayerReader::Read(platform::WindowSystem& windows) {
  const platform::Handle winamp = windows.FindTopLevel(kPlayerClass);
  window_ = winamp;
  // Any handle but 0 is a window: a handle with its top bit set is as valid as any other.
  if (winamp == 0) {
    found_ = false;
    reading_ = TitleReading{kPlayerNotFound, PlayerState::kNone};
    return reading_;
  }
  std::wstring title = windows.GetTitle(winamp, kTitleBufferChars);
  if (!found_ || title != title_) {
    const bool filled = title.size() >= static_cast<std::size_t>(kTitleBufferChars - 1);
    reading_ = ReadTitle(title, filled ? TitleRead::kFilledBuffer : TitleRead::kWhole);
    title_ = std::move(title);
    found_ = true;
  }
  return reading_;
}

std::optional<std::wstring> ReadNowPlaying(platform::WindowSystem& windows) {
  auto reading = ReadPlayer(windows);
  if (!reading) return std::nullopt;
  return std::move(reading->song);
}

}  // namespace player
