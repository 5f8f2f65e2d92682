#include "main/reload.h"

#include "platform/trace.h"
#include "player/now_playing.h"

namespace zurelo {

void Reloader::Reload(const std::function<void()>& end) {
  if (reloading_) return;
  reloading_ = true;
  if (!launcher_.StartMinimized(kReloadFile)) {
    platform::Trace(std::wstring(L"Reload could not start ") + kReloadFile +
                    L": this copy ends all the same");
  }
  player::WaitSeconds(kReloadWaitSeconds, clock_, pump_);
  end();
}

}  // namespace zurelo
