#pragma once
// "Reload": starts a new copy of the program, gives it a moment, and ends this one.

#include "platform/instance_claim.h"
#include "platform/launcher.h"

namespace zurelo {

inline constexpr wchar_t kReloadFile[] = L"Zurelo.exe";
inline constexpr unsigned kReloadWaitMs = 300;

class Reloader {
 public:
  Reloader(platform::Launcher& launcher, platform::InstanceClaim& claim)
      : launcher_(launcher), claim_(claim) {}

  // Gives up this copy's claim, so the new one does not take it for a second start, and
  // starts "Zurelo.exe" by its bare name (a failure is not reported, and this copy ends all
  // the same). True the first time: the caller then ends this copy kReloadWaitMs later. A
  // click that comes while a reload is under way does nothing: two copies would announce
  // every line twice.
  bool Reload();

 private:
  platform::Launcher& launcher_;
  platform::InstanceClaim& claim_;
  bool reloading_ = false;
};

}  // namespace zurelo
