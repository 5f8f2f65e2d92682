#pragma once
// The chat announcer: while on, types the now-playing line (prefix + song) into the chosen
// chat client, waits the pause, and does it again; or, announcing each song once, only
// when the song is new to that client.

#include <map>
#include <string>

#include "chat/chat_senders.h"
#include "main/chat_clients.h"
#include "main/now_playing_model.h"
#include "platform/clock.h"
#include "platform/event_pump.h"

namespace zurelo {

// What the announcer reads and drives on the main window.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  virtual bool IsSelected(const ChatClient& client) = 0;
  virtual std::wstring Prefix() = 0;                  // the prefix box
  virtual void SetAnnounceTimer(bool enabled) = 0;    // the 10 ms announcer timer
  virtual void Inform(const std::wstring& text) = 0;  // an information message box
};

class Announcer {
 public:
  Announcer(AnnouncerView& view, chat::ChatSenders& chat, const NowPlaying& song,
            platform::Clock& clock, platform::EventPump& pump)
      : view_(view), chat_(chat), song_(song), clock_(clock), pump_(pump) {}

  // "On": restarts the timer with the pause to wait after each line, and confirms.
  void On(const std::wstring& pause);
  // "Off": stops the timer and confirms; a cycle that is waiting finishes its wait.
  void Off();
  // One tick of the timer: a cycle, unless one is running (the wait dispatches events,
  // and with them further ticks). The timer sleeps while its cycle runs and starts again
  // afterwards if the announcer is still on.
  void Tick();
  bool busy() const { return busy_; }

  // Announce each song once: a client is sent a line only when the song differs from the
  // last one it was sent, and never the player-not-found text. A cycle that sends nothing
  // does not pause; the timer then sleeps until Wake.
  void SetOnce(bool once);
  // The song or the chosen client changed: a sleeping announcer looks again at once.
  void Wake();
  bool once() const { return once_; }

 private:
  // True when a line went out.
  bool Cycle();

  AnnouncerView& view_;
  chat::ChatSenders& chat_;
  const NowPlaying& song_;
  platform::Clock& clock_;
  platform::EventPump& pump_;
  std::wstring pause_;
  bool on_ = false;
  bool busy_ = false;
  bool once_ = false;
  bool asleep_ = false;  // the last cycle sent nothing new: no tick until something changes
  std::map<int, std::wstring> last_sent_;  // by option button: the song each client was sent
};

inline constexpr wchar_t kEnabledText[] = L"Zurelo Enabled!!";
inline constexpr wchar_t kDisabledText[] = L"Zurelo Disabled!!";

}  // namespace zurelo
