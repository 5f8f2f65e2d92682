#pragma once
// Asking the player about itself: its state, the song's length, the time played and its
// place in the playlist, as the player answers messages to its main window (WM_USER, the
// question in lParam). Nothing waits for an answer: a question goes through the window
// system's Ask, one at a time, and the answer comes back through the message loop.
//
// A window of the player's class is first asked its version: one that answers 0 knows no
// questions (the window system's default answer, as from a program posing as the player)
// and is not asked again. One that does is asked the four questions in turn when what its
// title reads changes and about once a second besides. An answer not come within two
// seconds leaves the player's word unknown until one comes; a question not answered at all
// is given up after five seconds, and each one given up in a row doubles that wait (up to
// five minutes), so a hung player gets a question now and then, never a stream of them.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "player/now_playing.h"

namespace player {

// The message the player takes its questions in (WM_USER), and the questions (lParam).
inline constexpr unsigned kQuestionMessage = 0x0400;
inline constexpr std::intptr_t kAskVersion = 0;         // 0x50yx for 5.yx; 0: knows no questions
inline constexpr std::intptr_t kAskPlaying = 104;       // 1 playing, 3 paused, 0 neither
inline constexpr std::intptr_t kAskOutputTime = 105;    // wParam 0: ms played, 1: length in s
inline constexpr std::intptr_t kAskListPosition = 125;  // the playlist entry, from 0

// What the player said of itself in its latest round of answers; each part missing when it
// is not known (not answered, or answered as unknown).
struct PlayerAnswers {
  std::optional<PlayerState> state;
  std::optional<int> list_position;
  std::optional<int> length_seconds;
  std::optional<int> position_ms;

  bool operator==(const PlayerAnswers& o) const {
    return state == o.state && list_position == o.list_position &&
           length_seconds == o.length_seconds && position_ms == o.position_ms;
  }
  bool operator!=(const PlayerAnswers& o) const { return !(*this == o); }
};

class PlayerQuestions {
 public:
  // changed runs when the answers change as an answer comes (from the message loop).
  PlayerQuestions(platform::WindowSystem& windows, platform::Clock& clock,
                  std::function<void()> changed);
  PlayerQuestions(const PlayerQuestions&) = delete;
  PlayerQuestions& operator=(const PlayerQuestions&) = delete;

  // At each read of the player: its window (0 when there is none) and whether what its title
  // reads changed. True when the answers changed (a new window, or one overdue).
  bool Look(platform::Handle window, bool reading_changed);
  // The player's own word: empty while it answers no questions, or not in time.
  const PlayerAnswers& answers() const { return answers_; }

 private:
  enum class Knows { kUnasked, kQuestions, kNothing };
  void Start(platform::Handle window, double now);
  void AskNext(double now);
  void Answered(unsigned question, std::intptr_t answer);

  platform::WindowSystem& windows_;
  platform::Clock& clock_;
  std::function<void()> changed_;
  // Answers reach this object only while it lives.
  std::shared_ptr<PlayerQuestions*> self_;

  platform::Handle window_ = 0;
  Knows knows_ = Knows::kUnasked;
  PlayerAnswers answers_;  // as last told
  PlayerAnswers round_;    // gathered in the round under way
  int next_in_round_ = 0;  // the question of the round to ask next
  bool again_ = false;     // the reading changed during a round: another one follows at once
  double next_round_at_ = 0;
  // The question out, if any: its number among all asked, and when it went.
  std::optional<unsigned> out_;
  unsigned asked_ = 0;
  double out_since_ = 0;
  double give_up_after_;
};

}  // namespace player
