#pragma once
// "Reload": starts a new copy of the program, gives it a moment, and ends this one.

#include <functional>

#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/launcher.h"

namespace zurelo {

inline constexpr wchar_t kReloadFile[] = L"Zurelo.exe";
inline constexpr double kReloadWaitSeconds = 0.3;

class Reloader {
 public:
  Reloader(platform::Launcher& launcher, platform::Clock& clock, platform::EventPump& pump)
      : launcher_(launcher), clock_(clock), pump_(pump) {}

  // Starts "Zurelo.exe" by its bare name (a failure is not reported), waits while events
  // are dispatched, then calls end, which ends the program. A click that comes while a
  // reload is under way does nothing: two copies would announce every line twice.
  void Reload(const std::function<void()>& end);

 private:
  platform::Launcher& launcher_;
  platform::Clock& clock_;
  platform::EventPump& pump_;
  bool reloading_ = false;
};

}  // namespace zurelo
