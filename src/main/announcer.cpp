#include "main/announcer.h"

#include "player/now_playing.h"

namespace zurelo {
void Announcer::On(const std::wstring& pause) {
  pause_ = pause;
  on_ = true;
  // Switching on announces the current song once more.
  last_sent_.clear();
  asleep_ = false;
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
  // announcer is free again and its timer wakes if it is still on, unless there was
  // nothing new to send.
  struct Done {
    Announcer& a;
    bool sent = true;
    ~Done() {
      a.busy_ = false;
      a.asleep_ = a.once_ && !sent;
      if (a.on_ && !a.asleep_) a.view_.SetAnnounceTimer(true);
    }
  } done{*this};
  busy_ = true;
  view_.SetAnnounceTimer(false);
  done.sent = Cycle();
}

bool Announcer::Cycle() {
  // Each option is read when its turn comes, since a wait may change the selection, the
  // prefix or the song before the next one is looked at.
  bool sent = false;
  for (const ChatClient& client : kChatClients) {
    if (!view_.IsSelected(client)) continue;
    const std::wstring song = song_.song();
    if (once_ && (song == player::kPlayerNotFound || last_sent_[client.option_id] == song)) {
      continue;
    }
    // What each client was given is kept whether or not the once rule is on, so that
    // switching it on mid-run does not repeat a song; a line that reached no input box
    // (the client not running, or given up) counts as not given.
    const std::wstring line = view_.Prefix() + song;
    const platform::Delivery d = (chat_.*client.send)(line);
    if (d == platform::Delivery::kDone) {
      last_sent_[client.option_id] = song;
    } else {
      last_sent_.erase(client.option_id);
    }
    sent = true;
    player::WaitSeconds(pause_, clock_, pump_);
  }
  return sent;
}

void Announcer::SetOnce(bool once) {
  once_ = once;
  if (!once_) Wake();
}

void Announcer::Wake() {
  if (!asleep_) return;
  asleep_ = false;
  if (on_ && !busy_) view_.SetAnnounceTimer(true);
}

}  // namespace zurelo
