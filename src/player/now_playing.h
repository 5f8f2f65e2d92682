#pragma once
// Reading what the player plays from its main window title, and the event-pumping wait.

#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/window_system.h"

namespace player {

inline constexpr wchar_t kPlayerClass[] = L"Winamp v1.x";
inline constexpr wchar_t kPlayerNotFound[] = L"Winamp 6 Not Found";
// The title is read into a buffer of this many UTF-16 units (the last one for the NUL).
inline constexpr int kTitleBufferChars = 256;

// Cuts a player title down to the song: drops a state in brackets after the suffix
// (" - Winamp [Paused]"), the " - Winamp" suffix (the last nine UTF-16 units, and the rest
// of a pair they cut into), leading track numbers, and a trailing play time. Nothing when
// the title is shorter than the suffix.
std::optional<std::wstring> CleanTitle(const std::wstring& title);

// The cleaned song, kPlayerNotFound when no player runs, nothing when the title is too short
// (the caller then keeps what it had).
std::optional<std::wstring> ReadNowPlaying(platform::WindowSystem& windows);

// The leading number of a text: leading blanks, an optional sign, digits, an optional "."
// part and exponent; 0 when the text does not begin with a number. The point is always ".".
double LeadingNumber(const std::wstring& text);

// Holds the caller up for the given seconds (a text read for its leading number) while
// events are dispatched. A duration of 0 or less returns at once without dispatching.
void WaitSeconds(const std::wstring& seconds, platform::Clock& clock, platform::EventPump& pump);
void WaitSeconds(double seconds, platform::Clock& clock, platform::EventPump& pump);

}  // namespace player
