#include "main/now_playing_model.h"

namespace zurelo {

void NowPlaying::Refresh() {
  const auto& reading = reader_.Read(windows_);
  bool reading_changed = false;
  if (reading) {
    reading_changed = reading->song != song_ || reading->state != title_state_;
    song_ = reading->song;
    title_state_ = reading->state;
  }
  // The title is read every time, but the window only hears of a change, and hears of it
  // before any question goes to the player.
  if (reading_changed) Tell();
  if (questions_.Look(reader_.window(), reading_changed)) Tell();
}

void NowPlaying::Tell() {
  const player::PlayerAnswers& answers = questions_.answers();
  // With no player there is nothing to answer for it.
  state_ = title_state_ == player::PlayerState::kNone ? title_state_
                                                      : answers.state.value_or(title_state_);
  const bool new_song = song_ != told_.song;
  const bool new_state = state_ != told_.state;
  if (!new_song && !new_state && answers.list_position == told_.list_position &&
      answers.length_seconds == told_.length_seconds && answers.position_ms == told_.position_ms) {
    return;
  }
  told_ = facts();
  if (new_song) display_.ShowSong(song_);
  if (new_state) display_.ShowState(state_);
  display_.ShowFacts(told_);
}

player::SongFacts NowPlaying::facts() const {
  const player::PlayerAnswers& answers = questions_.answers();
  player::SongFacts f;
  f.song = song_;
  f.state = state_;
  f.list_position = answers.list_position;
  f.length_seconds = answers.length_seconds;
  f.position_ms = answers.position_ms;
  return f;
}

}  // namespace zurelo
