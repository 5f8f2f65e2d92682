#pragma once

#include <windows.h>

#include <vector>

#include "platform/clock.h"
#include "platform/event_pump.h"

namespace platform::win32 {

// The message loop's one dispatch path: the program's own windows get keyboard navigation
// (Tab, access keys, Enter) through IsDialogMessage, in the main loop and in every wait.
class Win32EventPump : public EventPump {
 public:
  void AddDialogWindow(HWND w) { dialogs_.push_back(w); }
  void RemoveDialogWindow(HWND w);
  // Handles one message as the main loop does.
  void Handle(MSG& msg);
  // The main loop: returns the exit code when WM_QUIT arrives.
  int Run();

  void DispatchPending() override;
  void WaitAndDispatch(double max_seconds) override;

 private:
  std::vector<HWND> dialogs_;
};

class SteadyClock : public Clock {
 public:
  double NowSeconds() override;
};

}  // namespace platform::win32
