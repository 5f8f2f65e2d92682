#pragma once
// What the stand-in peers and the end-to-end driver agree on: the control messages a
// peer's top-level window takes (the roles are in peer_roles.h). The log format is
// described in tests/e2e/harness.h.

#include <windows.h>

namespace peer {

// Posted to a peer's top-level window.
// wParam = milliseconds: the peer stops pumping messages for that long (a hung client).
inline constexpr UINT kHangMessage = WM_APP + 1;
// The peer destroys its whole window tree and builds a new one (new handles everywhere).
inline constexpr UINT kChurnMessage = WM_APP + 2;
// wParam = milliseconds: from now on each message the chat windows record takes that long
// to handle (a slow client that still answers); 0 makes the peer quick again.
inline constexpr UINT kSlowMessage = WM_APP + 3;
// The user brings another conversation forward while the next text arrives in the client's
// input (mIRC: the second channel; AIM: a second chat window, made now, behind the first).
inline constexpr UINT kSwitchOnTextMessage = WM_APP + 4;
// The user types "lo" into the input after the next text arrives there: at once (wParam 0),
// or just before the input answers the wParam-th read of its text or selection after it.
inline constexpr UINT kTypeAfterTextMessage = WM_APP + 5;
// wParam = milliseconds: after the next text, the client hangs over the next message another
// program sends to the input (whatever it is), then handles it.
inline constexpr UINT kHangAfterTextMessage = WM_APP + 6;

// The user types " more" into the input right after it answers the next WM_GETTEXTLENGTH
// (between the length of a text and the text).
inline constexpr UINT kTypeOnLengthMessage = WM_APP + 7;
// wParam = milliseconds: the next Enter or send click makes the client hang that long before
// it posts the line.
inline constexpr UINT kHangOnSendMessage = WM_APP + 8;
// wParam = milliseconds: from now on the client empties its input that long after posting
// a line (0: at once, as before); kNeverEmpty: never.
inline constexpr UINT kEmptyLateMessage = WM_APP + 9;
inline constexpr WPARAM kNeverEmpty = 0xFFFFFFFF;

// The title a player shows when none is given.
inline constexpr char kDefaultPlayerTitle[] = "1. Zurelo Demo - Sample Song (3:45) - Winamp";

}  // namespace peer
