#include "main/reload.h"

#include "player/now_playing.h"

namespace zurelo {

void Reloader::Reload(const std::function<void()>& end) {
  if (reloading_) return;
  reloading_ = true;
  launcher_.StartMinimized(kReloadFile);
  player::WaitSeconds(kReloadWaitSeconds, clock_, pump_);
  end();
}

}  // namespace zurelo
