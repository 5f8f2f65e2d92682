#pragma once
// The song now playing, as the main window shows it, and whether the player plays it: the
// refresh and the log's tick write them, the announcer reads the song, and the window is told
// when either changes. (The log keeps the song it logs apart: it reads the player once more
// and cuts the "[Opening]" marker.) The song is the title's; the state is the player's own
// answer when it gives one, and otherwise what the title says.

#include <string>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "player/now_playing.h"
#include "player/player_questions.h"
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
  NowPlaying(platform::WindowSystem& windows, SongDisplay& display, platform::Clock& clock)
      : windows_(windows), display_(display), questions_(windows, clock, [this] { Tell(); }) {}
  NowPlaying(const NowPlaying&) = delete;
  NowPlaying& operator=(const NowPlaying&) = delete;

  // Reads the player again, and asks it about itself when that is due; a title that cannot
  // be read keeps the song shown and the title's state.
  void Refresh();
  // The song as last shown: paused or stopped, the player still names it.
  const std::wstring& song() const { return song_; }
  player::PlayerState state() const { return state_; }
  bool playing() const { return state_ == player::PlayerState::kPlaying; }
  // The song, the state and whatever else is known of what plays.
  player::SongFacts facts() const;

 private:
  // Tells the display what changed since it last heard.
  void Tell();

  platform::WindowSystem& windows_;
  SongDisplay& display_;
  player::PlayerReader reader_;
  player::PlayerQuestions questions_;
  std::wstring song_;
  player::PlayerState title_state_ = player::PlayerState::kNone;  // as the title reads
  player::PlayerState state_ = player::PlayerState::kNone;        // nothing is known before a read
  player::SongFacts told_;  // as the display last heard of them
};

}  // namespace zurelo
