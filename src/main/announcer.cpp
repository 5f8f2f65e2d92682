#include "main/announcer.h"

#include <exception>

#include "player/now_playing.h"

namespace zurelo {
namespace {

// Runs one step of a handler; a step that fails is skipped so the next one still runs.
// Returns whether the step completed.
template <typename Step>
bool Try(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (const std::exception&) {
  } catch (...) {
  }
  return false;
}

// Holds the busy flag for as long as a cycle runs, however it ends.
class BusyGuard {
 public:
  explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyGuard() { flag_ = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  bool& flag_;
};

constexpr ChatClient kClientOrder[] = {ChatClient::kAol, ChatClient::kAim, ChatClient::kYahoo,
                                       ChatClient::kMirc};

}  // namespace

void Announcer::On() {
  // Off and on again, so the interval starts afresh and the first cycle comes one tick later.
  Try([&] { view_.SetAnnounceTimer(false); });
  Try([&] { view_.SetAnnounceTimer(true); });
  Try([&] { view_.Inform(kEnabledText); });
}

void Announcer::Off() {
  Try([&] { view_.SetAnnounceTimer(false); });
  Try([&] { view_.Inform(kDisabledText); });
}

void Announcer::Cycle() {
  // The wait dispatches events, and with them further ticks of this timer.
  if (busy_) return;
  const BusyGuard guard(busy_);
  // Each option is read when its turn comes, since a wait may change the selection, the
  // prefix or the song before the next one is looked at.
  for (const ChatClient client : kClientOrder) {
    bool selected = false;
    if (!Try([&] { selected = view_.IsSelected(client); }) || !selected) continue;
    Try([&] {
      const std::wstring line = view_.Prefix() + view_.Song();
      switch (client) {
        case ChatClient::kAol:
          chat_.SendToAolRoom(line);
          break;
        case ChatClient::kAim:
          chat_.SendToAim(line);
          break;
        case ChatClient::kYahoo:
          chat_.SendToYahoo(line);
          break;
        case ChatClient::kMirc:
          chat_.SendToMirc(line);
          break;
      }
    });
    Try([&] { player::WaitSeconds(pause_, clock_, pump_); });
  }
}

}  // namespace zurelo
