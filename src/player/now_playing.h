#pragma once
// Reading what the player plays from its main window title.

#include <optional>
#include <string>

#include "platform/window_system.h"

namespace player {

inline constexpr wchar_t kPlayerClass[] = L"Winamp v1.x";
inline constexpr wchar_t kPlayerNotFound[] = L"Winamp 6 Not Found";
// The title is read into a buffer of this many UTF-16 units (the last one for the NUL).
inline constexpr int kTitleBufferChars = 256;

// How much of the title a read holds: all of it, or as much as filled the buffer, in which
// case the title may go on beyond and the last unit may be half a pair.
enum class TitleRead { kWhole, kFilledBuffer };

// What the player is doing. Paused or stopped, it writes its state in brackets after its
// name, in whatever language it speaks: any such state means that nothing plays.
enum class PlayerState {
  kPlaying,
  kPaused,   // "[Paused]"
  kStopped,  // "[Stopped]", or a state in another language
  kNone,     // no player runs
};

struct TitleReading {
  std::wstring song;
  PlayerState state = PlayerState::kPlaying;
};

// Cuts a player title down to the song: drops a state in brackets after the suffix
// (" - Winamp [Paused]", or its start "... - Winamp [Pau" when the read filled the buffer),
// the " - Winamp" suffix (the last nine UTF-16 units, and the rest of a pair they cut into),
// leading track numbers, and a trailing play time. Nothing when the title is shorter than the
// suffix. The state is given beside the song.
//
// The player can scroll its title: it then shows T + " *** " + T from one of its characters
// on, as much as the read holds. That is read as T, which is then cut as above. It counts as
// scrolled only when the T it gives back ends as the player ends its titles (the suffix, maybe
// with a state), and then:
// - read whole: the text after a " *** " is T, and the text before it an end of that T;
// - read to the buffer's end: the text after the " *** " is a start of T, the text before it
//   an end of T, joined where they overlap (the longest overlap);
// - "*** T", "** T", "* T": the scroll is inside the marker (" T" needs nothing, the leading
//   clean-up takes the blank).
// Such a start (one to three stars and a blank, blanks before it, as often as it comes) is
// never part of the song, in a title read still too: "* Hit - Band - Winamp" reads
// "Hit - Band" still and at every step of its scroll.
//
// Read to the buffer's end, the two pieces of a T of n units (n up to 250) overlap by 250 - n
// units. Where the text at the join repeats a piece of p units over 250 - n + 2p units, a
// longer overlap fits too: it is taken, and T comes back shorter at that step. So at 250
// units a doubled letter ("Hello" as "Helo"), at 249 a tripled one, at 245 "la la la la".
// The shorter title gives the very same read there, so no reading of one step can tell them
// apart. A T longer than 250 units never shows whole: its start and end are joined all the
// same, so its reading changes as it scrolls. Any other title with a " *** " or a leading "*"
// ("*NSYNC - Pop - Winamp") is read as it stands.
std::optional<TitleReading> ReadTitle(const std::wstring& title,
                                      TitleRead read = TitleRead::kWhole);
// The song alone.
std::optional<std::wstring> CleanTitle(const std::wstring& title,
                                       TitleRead read = TitleRead::kWhole);

// The song and the state: kPlayerNotFound and kNone when no player runs, nothing when the
// title is too short (the caller then keeps what it had).
std::optional<TitleReading> ReadPlayer(platform::WindowSystem& windows);
// The song alone.
std::optional<std::wstring> ReadNowPlaying(platform::WindowSystem& windows);

// ReadPlayer for a caller that reads the player on every tick: the title is read each time,
// but parsed only when it differs from the last one read.
class PlayerReader {
 public:
  const std::optional<TitleReading>& Read(platform::WindowSystem& windows);
  // The player's window as the last read found it; 0 when there was none.
  platform::Handle window() const { return window_; }

 private:
  platform::Handle window_ = 0;
  bool found_ = false;
  std::wstring title_;
  std::optional<TitleReading> reading_;
};

}  // namespace player
