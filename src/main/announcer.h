#pragma once
// The chat announcer: while on, types the now-playing line (prefix + song) into the chosen
// chat client, waits the pause, and does it again.

#include <string>

#include "chat/zurelo_chat.h"
#include "platform/clock.h"
#include "platform/event_pump.h"

namespace zurelo {

// In the order the announcer looks at them.
enum class ChatClient { kAol, kAim, kYahoo, kMirc };

// What the announcer reads and drives on the main window.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  virtual bool IsSelected(ChatClient client) = 0;
  virtual std::wstring Prefix() = 0;                  // the prefix box
  virtual std::wstring Song() = 0;                    // the now-playing label
  virtual void SetAnnounceTimer(bool enabled) = 0;    // the 10 ms announcer timer
  virtual void Inform(const std::wstring& text) = 0;  // an information message box
};

class Announcer {
 public:
  // pause is the main window's pause text; it is read at every wait.
  Announcer(AnnouncerView& view, chat::ZureloChat& chat, platform::Clock& clock,
            platform::EventPump& pump, const std::wstring& pause)
      : view_(view), chat_(chat), clock_(clock), pump_(pump), pause_(pause) {}

  void On();     // "On": restart the timer, confirm
  void Off();    // "Off": stop the timer, confirm
  void Cycle();  // one timer tick; never re-entered while a cycle (and its wait) runs
  bool busy() const { return busy_; }

 private:
  AnnouncerView& view_;
  chat::ZureloChat& chat_;
  platform::Clock& clock_;
  platform::EventPump& pump_;
  const std::wstring& pause_;
  bool busy_ = false;
};

inline constexpr wchar_t kEnabledText[] = L"Zurelo Enabled!!";
inline constexpr wchar_t kDisabledText[] = L"Zurelo Disabled!!";

}  // namespace zurelo
