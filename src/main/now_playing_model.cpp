#include "main/now_playing_model.h"

#include "player/now_playing.h"

namespace zurelo {

void NowPlaying::Refresh() {
  auto song = player::ReadNowPlaying(windows_);
  // The title is read every time, but the window only hears of a change.
  if (!song || *song == song_) return;
  song_ = std::move(*song);
  display_.ShowSong(song_);
}

}  // namespace zurelo
