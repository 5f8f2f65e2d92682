#include "player/player_questions.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace player {
namespace {

constexpr double kRoundSeconds = 1.0;
// Answers come within milliseconds; one this late leaves the player's word unknown.
constexpr double kOverdueSeconds = 2.0;
constexpr double kFirstGiveUpSeconds = 5.0;
constexpr double kLastGiveUpSeconds = 300.0;

// A round: the state, the time played, the length, the playlist entry.
struct RoundQuestion {
  std::uintptr_t wparam;
  std::intptr_t lparam;
};
constexpr RoundQuestion kRound[] = {
    {0, kAskPlaying}, {0, kAskOutputTime}, {1, kAskOutputTime}, {0, kAskListPosition}};

// The player answers an int: only the low 32 bits of the answer carry it, whatever the
// window system did to the rest on its way here.
int AsInt(std::intptr_t answer) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uintptr_t>(answer)));
}

std::optional<int> Known(int value) {
  if (value < 0) return std::nullopt;  // -1: not playing, or a length it does not know
  return value;
}

std::optional<PlayerState> StateOf(int value) {
  switch (value) {
    case 1:
      return PlayerState::kPlaying;
    case 3:
      return PlayerState::kPaused;
    case 0:
      return PlayerState::kStopped;
    default:
      return std::nullopt;
  }
}

}  // namespace

PlayerQuestions::PlayerQuestions(platform::WindowSystem& windows, platform::Clock& clock,
                                 std::function<void()> changed)
    : windows_(windows),
      clock_(clock),
      changed_(std::move(changed)),
      self_(std::make_shared<PlayerQuestions*>(this)),
      give_up_after_(kFirstGiveUpSeconds) {}

void PlayerQuestions::Start(platform::Handle window, double now) {
  window_ = window;
  knows_ = Knows::kUnasked;
  answers_ = {};
  round_ = {};
  next_in_round_ = 0;
  again_ = false;
  out_.reset();
  give_up_after_ = kFirstGiveUpSeconds;
  next_round_at_ = now;
}

bool PlayerQuestions::Look(platform::Handle window, bool reading_changed) {
  const double now = clock_.NowSeconds();
  bool changed = false;
  if (window != window_) {
    // Another window (the player restarted) or none: what the last one said is not its word.
    changed = answers_ != PlayerAnswers{};
    Start(window, now);
  }
  if (window_ == 0 || knows_ == Knows::kNothing) return changed;
  // A new song or state on the title is asked about at once, unless the player has stopped
  // answering: then the questions keep to their slower pace.
  if (reading_changed && knows_ == Knows::kQuestions && give_up_after_ == kFirstGiveUpSeconds) {
    if (out_ || next_in_round_ != 0) {
      again_ = true;
    } else {
      next_round_at_ = now;
    }
  }
  if (out_) {
    const double waited = now - out_since_;
    if (waited >= kOverdueSeconds && answers_ != PlayerAnswers{}) {
      answers_ = {};
      changed = true;
    }
    if (waited < give_up_after_) return changed;
    out_.reset();
    give_up_after_ = std::min(give_up_after_ * 2, kLastGiveUpSeconds);
    next_in_round_ = 0;
    round_ = {};
    next_round_at_ = now;
  }
  if (now >= next_round_at_) AskNext(now);
  return changed;
}

void PlayerQuestions::AskNext(double now) {
  const unsigned question = ++asked_;
  out_ = question;
  out_since_ = now;
  RoundQuestion q{0, kAskVersion};
  if (knows_ == Knows::kQuestions) q = kRound[next_in_round_];
  const std::weak_ptr<PlayerQuestions*> self = self_;
  const bool sent = windows_.Ask(window_, kQuestionMessage, q.wparam, q.lparam,
                                 [self, question](std::intptr_t answer) {
                                   if (const auto alive = self.lock()) {
                                     (*alive)->Answered(question, answer);
                                   }
                                 });
  if (!sent && out_ == question) {
    // No such window any more, most likely: the next look finds out; until then, slowly.
    out_.reset();
    next_in_round_ = 0;
    round_ = {};
    next_round_at_ = now + give_up_after_;
    give_up_after_ = std::min(give_up_after_ * 2, kLastGiveUpSeconds);
  }
}

void PlayerQuestions::Answered(unsigned question, std::intptr_t answer) {
  // An answer to a question given up, or asked of a window before this one, is no answer.
  if (out_ != question) return;
  out_.reset();
  give_up_after_ = kFirstGiveUpSeconds;
  const double now = clock_.NowSeconds();
  const int value = AsInt(answer);
  if (knows_ == Knows::kUnasked) {
    knows_ = value != 0 ? Knows::kQuestions : Knows::kNothing;
    if (knows_ == Knows::kQuestions) AskNext(now);
    return;
  }
  switch (next_in_round_) {
    case 0:
      round_.state = StateOf(value);
      break;
    case 1:
      round_.position_ms = Known(value);
      break;
    case 2:
      round_.length_seconds = Known(value);
      break;
    default:
      round_.list_position = Known(value);
      break;
  }
  if (++next_in_round_ < static_cast<int>(std::size(kRound))) {
    AskNext(now);
    return;
  }
  next_in_round_ = 0;
  next_round_at_ = again_ ? now : now + kRoundSeconds;
  again_ = false;
  if (round_ != answers_) {
    answers_ = round_;
    changed_();
  }
}

}  // namespace player
