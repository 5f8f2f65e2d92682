#pragma once
// The song now playing, as the main window shows it, and whether the player plays it: the
// refresh and the log's tick write them, the announcer reads the song, and the window is told
// when either changes. (The log keeps the song it logs apart: it reads the player once more
// and cuts the "[Opening]" marker.)

#include <string>

#include "platform/window_system.h"
#include "player/now_playing.h"
#include "player/song_facts.h"

namespace zurelo {

class SongDisplay {
 public:
  virtual ~SongDisplay() = default;
  virtual void ShowSong(const std::wstring& song) = 0;
  // The player's state changed; told after the song when both did.
  virtual void ShowState(player::PlayerState) {}
  // Anything known of what plays changed (the song, the state or the player's answers);
  // told after ShowSong and ShowState.
  virtual void ShowFacts(const player::SongFacts&) {}
};

class NowPlaying {
 public:
  NowPlaying(platform::WindowSystem& windows, SongDisplay& display)
      : windows_(windows), display_(display) {}

  // Reads the player again; a title that cannot be read keeps the song shown and the state.
  void Refresh();
  // The song as last shown: paused or stopped, the player still names it.
  const std::wstring& song() const { return song_; }
  player::PlayerState state() const { return state_; }
  bool playing() const { return state_ == player::PlayerState::kPlaying; }
  // The song, the state and whatever else is known of what plays.
  player::SongFacts facts() const;

 private:
  platform::WindowSystem& windows_;
  SongDisplay& display_;
  player::PlayerReader reader_;
  std::wstring song_;
  player::PlayerState state_ = player::PlayerState::kNone;  // nothing is known before a read
  player::SongFacts told_;                                  // as the display last heard of them
};

}  // namespace zurelo
