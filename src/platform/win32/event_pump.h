#pragma once

#include <windows.h>

#include <vector>

#include "platform/clock.h"

namespace platform::win32 {

// The program's one message loop. Keyboard messages for a dialog-like top-level window (a
// message box, the save dialog, or a window registered here) go through IsDialogMessage,
// so Tab, Enter, Esc and the access keys work. Nothing else waits for messages: the work
// that takes time runs on timers and on workers that post their ends, so it goes on under
// the system's own modal loops (boxes, dialogs, menus) too.
class Win32EventPump {
 public:
  Win32EventPump() = default;
  Win32EventPump(const Win32EventPump&) = delete;
  Win32EventPump& operator=(const Win32EventPump&) = delete;

  void AddDialogWindow(HWND w) { dialogs_.push_back(w); }
  void RemoveDialogWindow(HWND w);
  // The main loop, run once, by WinMain: returns the exit code when WM_QUIT arrives.
  int Run();

 private:
  // Handles one message of the main loop.
  void Dispatch(MSG& msg);
  bool IsDialogLike(HWND top) const;

  std::vector<HWND> dialogs_;
};

class SteadyClock : public Clock {
 public:
  double NowSeconds() override;
};

}  // namespace platform::win32
