#pragma once
// The chat announcer: while on, types the now-playing line (by default prefix + song) into the
// chosen chat client, waits the pause, and does it again; or, announcing each song once, only when
// the song is new to that client.
//
// It is a small state machine moved on by the main loop, and nothing in it waits: a cycle
// starts at a tick of the cycle timer, looks at the options in their fixed order, and for
// each one chosen starts a line and returns; the line's end (a notice from the message
// loop) starts the pause, whose end (a one-shot timer) moves on to the next option. So a
// box, dialog or menu on screen holds neither a line nor a pause.

#include <cstddef>
#include <map>
#include <string>

#include "chat/chat_senders.h"
#include "main/chat_clients.h"
#include "main/line_format.h"
#include "main/now_playing_model.h"
#include "platform/clock.h"

namespace zurelo {

// What the announcer reads and drives on the main window.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  virtual bool IsSelected(const ChatClient& client) = 0;
  virtual std::wstring Prefix() = 0;                // the prefix box
  virtual void SetAnnounceTimer(bool enabled) = 0;  // the 10 ms cycle timer
  // A one-shot timer that calls PauseEnded after the seconds (finite, above 0); a new one
  // replaces the one before.
  virtual void SetPauseTimer(double seconds) = 0;
  virtual void Inform(const std::wstring& text) = 0;  // an information message box
  virtual void Refuse(const std::wstring& text) = 0;  // a critical message box
};

class Announcer {
 public:
  Announcer(AnnouncerView& view, chat::ChatSenders& chat, const NowPlaying& song,
            platform::Clock& clock, ChatClientRows clients = kChatClientRows)
      : view_(view), chat_(chat), song_(song), clock_(clock), clients_(clients) {}

  // "On": restarts the cycle timer with the pause to wait after each line, and confirms (at
  // the first tick, or at once when a cycle is under way);
  // or, when a chosen client would take the prefix as a command the song could finish or
  // have evaluated, says why and changes nothing.
  void On(const std::wstring& pause);
  // "Off": stops the cycle timer and confirms; a cycle under way finishes its pause and
  // looks at the options left, but no new cycle starts.
  void Off();
  // Reload: no line starts from now on, whatever comes (On, a tick, a line's end); a line on
  // its way finishes on its worker.
  void Stop();
  // The cycle timer's tick: a cycle, unless one is under way. The timer sleeps while its
  // cycle runs and starts again afterwards if the announcer is still on.
  void Tick();
  // The pause timer's tick.
  void PauseEnded();
  // A cycle is under way (a line on its way or a pause).
  bool busy() const { return phase_ != Phase::kIdle; }

  // Announce each song once: a client is sent a line only when the song differs from the
  // last one it was sent, and never the player-not-found text. A cycle that sends nothing
  // does not pause; the timer then sleeps until Wake.
  void SetOnce(bool once);
  // The line's format from the next line on (see player/song_format.h); an empty one is
  // the default, the prefix followed by the song.
  void SetLineFormat(const std::wstring& format);
  // The song or the chosen client changed: a sleeping announcer looks again at once.
  void Wake();
  bool once() const { return once_; }

 private:
  enum class Phase { kIdle, kLine, kPause };
  // Looks at the options from next_ on and starts the line of the first one due; the cycle
  // ends when none is left.
  void LookOn();
  void LineEnded(unsigned serial, int client, const std::wstring& song, chat::LineOutcome outcome);
  // The pause after a line, or the next option at once when the pause is none.
  void AfterLine();
  // A line given up on was posted after all, just now.
  void PostedLate();
  void EndCycle();
  // Shows "Zurelo Enabled!!" if an "On" is still to be confirmed.
  void ConfirmOn();

  AnnouncerView& view_;
  chat::ChatSenders& chat_;
  const NowPlaying& song_;
  platform::Clock& clock_;
  const ChatClientRows clients_;  // in the order the options are looked at
  std::wstring pause_;
  std::wstring line_format_ = kDefaultLineFormat;
  bool on_ = false;
  bool stopped_ = false;
  bool once_ = false;
  bool asleep_ = false;      // the last cycle sent nothing new: no tick until something changes
  bool confirm_on_ = false;  // "On" is confirmed at its first tick
  Phase phase_ = Phase::kIdle;
  std::size_t next_ = 0;                   // the option looked at next in this cycle
  bool sent_ = false;                      // this cycle started a line
  unsigned serial_ = 0;                    // the line on its way: ends of older ones move nothing
  double pause_end_ = 0;                   // on the clock
  std::map<int, std::wstring> last_sent_;  // by option button: the song each client was sent
  std::wstring told_refusal_;  // the refused format and prefix the user was last told of
};

inline constexpr wchar_t kEnabledText[] = L"Zurelo Enabled!!";
inline constexpr wchar_t kDisabledText[] = L"Zurelo Disabled!!";

}  // namespace zurelo
