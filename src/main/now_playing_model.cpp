#include "main/now_playing_model.h"

namespace zurelo {

void NowPlaying::Refresh() {
  const auto& reading = reader_.Read(windows_);
  if (!reading) return;
  // The title is read every time, but the window only hears of a change.
  const bool new_state = reading->state != state_;
  state_ = reading->state;
  if (reading->song != song_) {
    song_ = reading->song;
    display_.ShowSong(song_);
  }
  if (new_state) display_.ShowState(state_);
  const player::SongFacts now = facts();
  if (now != told_) {
    told_ = now;
    display_.ShowFacts(told_);
  }
}

player::SongFacts NowPlaying::facts() const {
  player::SongFacts f;
  f.song = song_;
  f.state = state_;
  return f;
}

}  // namespace zurelo
