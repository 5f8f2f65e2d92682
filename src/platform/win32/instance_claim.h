#pragma once
// One running copy per program name and user. The copy that runs owns a named mutex of the
// session and publishes its main window in a small named mapping beside it; a later start
// finds the window there, asks it to come forward and ends, waiting for no answer.

#include <windows.h>

#include <string>

#include "platform/instance_claim.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

class Win32InstanceClaim : public InstanceClaim {
 public:
  // app_name: the name the settings are stored under, so a renamed copy has its own claim.
  explicit Win32InstanceClaim(const std::wstring& app_name);

  // True when this copy is to run: no other holds the claim, or the one that held it ended
  // before it showed a window. Otherwise the running copy has been asked to come forward
  // (once it shows its window, a few seconds at most), and this start ends. When the claim
  // cannot be made at all, this copy runs, as every copy did before there was one.
  bool Take();
  // The main window, shown: a later start brings it forward.
  void Publish(HWND main_window);
  void GiveUp() override;

 private:
  bool Own(DWORD wait_ms);
  HWND Published() const;

  UniqueHandle mutex_;
  UniqueHandle mapping_;
  UniqueView window_;  // one LONG: the main window, as HandleToLong gives it to any bitness
  bool held_ = false;
};

// Posted by a later start to the running copy's main window, which restores itself and
// takes the foreground on its own thread (a process in the background may not give it).
UINT ComeForwardMessage();

}  // namespace platform::win32
