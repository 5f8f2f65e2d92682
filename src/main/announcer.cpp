#include "main/announcer.h"

#include "player/now_playing.h"

namespace zurelo {
void Announcer::On(const std::wstring& pause) {
  pause_ = pause;
  on_ = true;
  // Off and on again, so the interval starts afresh and the first cycle comes one tick
  // later; while a cycle runs the timer stays asleep until it ends.
  view_.SetAnnounceTimer(false);
  if (!busy_) view_.SetAnnounceTimer(true);
  view_.Inform(kEnabledText);
}

void Announcer::Off() {
  on_ = false;
  view_.SetAnnounceTimer(false);
  view_.Inform(kDisabledText);
}

void Announcer::Tick() {
  if (busy_) return;
  // However the cycle ends (a failure inside it is stopped by the window procedure), the
  // announcer is free again and its timer wakes if it is still on.
  struct Done {
    Announcer& a;
    ~Done() {
      a.busy_ = false;
      if (a.on_) a.view_.SetAnnounceTimer(true);
    }
  } done{*this};
  busy_ = true;
  view_.SetAnnounceTimer(false);
  Cycle();
}

void Announcer::Cycle() {
  // Each option is read when its turn comes, since a wait may change the selection, the
  // prefix or the song before the next one is looked at.
  for (const ChatClient& client : kChatClients) {
    if (!view_.IsSelected(client)) continue;
    (chat_.*client.send)(view_.Prefix() + song_.song());
    player::WaitSeconds(pause_, clock_, pump_);
  }
}

}  // namespace zurelo
