#include "main/reload.h"

#include <string>

#include "platform/trace.h"

namespace zurelo {

bool Reloader::Reload() {
  if (reloading_) return false;
  reloading_ = true;
  claim_.GiveUp();
  if (!launcher_.StartMinimized(kReloadFile)) {
    platform::Trace(std::wstring(L"Reload could not start ") + kReloadFile +
                    L": this copy ends all the same");
  }
  return true;
}

}  // namespace zurelo
