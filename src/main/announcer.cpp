#include "main/announcer.h"

#include <algorithm>
#include <optional>

#include "chat/now_playing_line.h"
#include "main/line_format.h"
#include "platform/trace.h"
#include "player/now_playing.h"
#include "settings/leading_number.h"

namespace zurelo {
namespace {

// The longest a pause timer is set for at a time: a longer pause is waited in slices, so
// every pause, however long (even endless), stays within what a window timer can hold.
constexpr double kLongestTimerSeconds = 3600.0;

}  // namespace

void Announcer::On(const std::wstring& pause) {
  if (stopped_) return;
  for (const ChatClient& client : clients_) {
    if (!view_.IsSelected(client)) continue;
    const std::wstring refusal =
        LineFormatRefusal(line_format_, view_.Prefix(), client.takes_commands);
    if (!refusal.empty()) {
      view_.Refuse(refusal);
      return;
    }
  }
  pause_ = pause;
  on_ = true;
  told_refusal_.clear();
  // Switching on announces the current song once more.
  last_sent_.clear();
  asleep_ = false;
  // Off and on again, so the interval starts afresh and the first cycle comes one tick
  // later; while a cycle runs the timer stays asleep until it ends.
  view_.SetAnnounceTimer(false);
  if (busy()) {
    view_.Inform(kEnabledText);
    return;
  }
  view_.SetAnnounceTimer(true);
  // The box comes with that first tick, once the line is on its way: made at once, it would
  // hold the tick back for as long as the window system takes to make it.
  confirm_on_ = true;
}

void Announcer::Off() {
  on_ = false;
  view_.SetAnnounceTimer(false);
  ConfirmOn();  // an "On" whose tick has not come yet is confirmed all the same, first
  view_.Inform(kDisabledText);
}

void Announcer::Stop() {
  stopped_ = true;
  on_ = false;
  confirm_on_ = false;
  view_.SetAnnounceTimer(false);
}

void Announcer::Tick() {
  if (busy()) return;
  view_.SetAnnounceTimer(false);
  phase_ = Phase::kLine;
  next_ = 0;
  sent_ = false;
  LookOn();
  ConfirmOn();
}

void Announcer::ConfirmOn() {
  if (!confirm_on_) return;
  confirm_on_ = false;
  view_.Inform(kEnabledText);
}

void Announcer::LookOn() {
  try {
    // Each option is read when its turn comes, since a pause may change the selection, the
    // prefix or the song before the next one is looked at.
    while (!stopped_ && next_ < clients_.count) {
      const ChatClient& client = clients_.first[next_++];
      if (!view_.IsSelected(client)) continue;
      const std::wstring song = song_.song();
      // An empty song (a title that is the player's name alone) is nothing to announce.
      if (song.empty()) continue;
      if (once_ && (song == player::kPlayerNotFound || last_sent_[client.option_id] == song)) {
        continue;
      }
      const std::wstring prefix = view_.Prefix();
      const std::optional<std::wstring> line =
          FormatLine(line_format_, song_.facts(), prefix, client.takes_commands);
      sent_ = true;
      if (!line) {
        // The prefix or the format was changed into one the song could make a command of: no
        // line, and the pause follows as after any line that did not go. The user hears why once
        // for each such prefix and format, not at every line.
        const std::wstring refusal = LineFormatRefusal(line_format_, prefix, client.takes_commands);
        platform::Trace(std::wstring(L"no line to ") + client.caption + L": " + refusal);
        last_sent_.erase(client.option_id);
        const std::wstring refused = line_format_ + L'\n' + prefix;
        const bool tell = told_refusal_ != refused;
        told_refusal_ = refused;
        AfterLine();
        // Told once the state is settled: the box's own loop runs the timers meanwhile.
        if (tell) view_.Refuse(refusal);
        return;
      }
      const unsigned serial = ++serial_;
      chat_.Send(client.option_id, client.line, *line,
                 [this, serial, id = client.option_id, song](chat::LineOutcome outcome) {
                   LineEnded(serial, id, song, outcome);
                 });
      return;  // the rest of the cycle follows the line's end
    }
  } catch (...) {
    // Whatever failed, the announcer is free again and its timer wakes.
    platform::Trace(L"an announcer cycle failed and was cut short");
  }
  EndCycle();
}

void Announcer::LineEnded(unsigned serial, int client, const std::wstring& song,
                          chat::LineOutcome outcome) {
  // What each client was given is kept whether or not the once rule is on, so that
  // switching it on mid-run does not repeat a song; a line that was not posted counts as
  // not given.
  if (outcome == chat::LineOutcome::kPosted || outcome == chat::LineOutcome::kPostedAfterGivingUp) {
    last_sent_[client] = song;
  } else {
    last_sent_.erase(client);
  }
  if (outcome == chat::LineOutcome::kPostedAfterGivingUp) {
    // Its cycle moved on long ago, but the line has only just gone: the pause starts afresh.
    PostedLate();
    return;
  }
  if (serial != serial_ || phase_ != Phase::kLine) return;
  AfterLine();
}

void Announcer::AfterLine() {
  // A pause follows every line, given or not; a pause that is not a positive number is none.
  const double seconds = settings::LeadingNumber(pause_);
  if (seconds > 0) {
    phase_ = Phase::kPause;
    pause_end_ = clock_.NowSeconds() + seconds;
    view_.SetPauseTimer(std::min(seconds, kLongestTimerSeconds));
    return;
  }
  LookOn();
}

void Announcer::PostedLate() {
  const double seconds = settings::LeadingNumber(pause_);
  if (!on_ && phase_ == Phase::kIdle) return;
  if (!(seconds > 0) || phase_ == Phase::kLine) return;  // a line under way pauses after it
  const double end = clock_.NowSeconds() + seconds;
  if (phase_ == Phase::kPause && end <= pause_end_) return;
  if (phase_ == Phase::kIdle) {
    // Between cycles: the next one waits too, as a pause at the end of this one.
    view_.SetAnnounceTimer(false);
    phase_ = Phase::kPause;
    next_ = clients_.count;
    sent_ = true;
  }
  pause_end_ = end;
  view_.SetPauseTimer(std::min(seconds, kLongestTimerSeconds));
}

void Announcer::PauseEnded() {
  if (phase_ != Phase::kPause) return;
  // A timer may come a little early, or cut a very long pause short: wait out the rest.
  const double left = pause_end_ - clock_.NowSeconds();
  if (left > 0.0005) {
    view_.SetPauseTimer(std::min(left, kLongestTimerSeconds));
    return;
  }
  phase_ = Phase::kLine;
  LookOn();
}

void Announcer::EndCycle() {
  phase_ = Phase::kIdle;
  asleep_ = once_ && !sent_;
  if (on_ && !asleep_) view_.SetAnnounceTimer(true);
}

void Announcer::SetLineFormat(const std::wstring& format) {
  line_format_ = format.empty() ? kDefaultLineFormat : format;
}

void Announcer::SetOnce(bool once) {
  once_ = once;
  if (!once_) Wake();
}

void Announcer::Wake() {
  if (!asleep_) return;
  asleep_ = false;
  if (on_ && !busy()) view_.SetAnnounceTimer(true);
}

}  // namespace zurelo
