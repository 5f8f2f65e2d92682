#pragma once

#include <windows.h>

#include <vector>

#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

// The message loop's one dispatch path, in the main loop and in every wait: keyboard
// messages for a dialog-like top-level window (a message box, the save dialog, or a window
// registered here) go through IsDialogMessage, so Tab, Enter, Esc and the access keys work.
// A wait blocks in GetMessage like the main loop; a timer on a hidden window ends it.
class Win32EventPump : public EventPump {
 public:
  Win32EventPump() = default;
  Win32EventPump(const Win32EventPump&) = delete;
  Win32EventPump& operator=(const Win32EventPump&) = delete;

  void AddDialogWindow(HWND w) { dialogs_.push_back(w); }
  void RemoveDialogWindow(HWND w);
  // Handles one message as the main loop does.
  void Dispatch(MSG& msg);
  // The main loop: returns the exit code when WM_QUIT arrives.
  int Run();

  void DispatchPending() override;
  void WaitAndDispatch(double max_seconds) override;

  // A window of this thread that a worker thread posts kWakeMessage to when it is done, so
  // that a wait blocked in GetMessage returns. Made on first use, on this thread.
  HWND WakeWindow();
  static constexpr UINT kWakeMessage = WM_APP + 0x3A0;

 private:
  static LRESULT CALLBACK WakeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  bool IsDialogLike(HWND top) const;
  // Makes sure a timer fires no later than seconds from now; a timer armed by an earlier
  // pass of the same wait already does, and is kept.
  void ArmTimer(double seconds);

  std::vector<HWND> dialogs_;
  UniqueWindow wake_;
  bool timer_armed_ = false;
  double timer_due_ = 0;
};

class SteadyClock : public Clock {
 public:
  double NowSeconds() override;
};

}  // namespace platform::win32
