#pragma once
// The song now playing, as the main window shows it: the refresh and the log's tick write
// it, the announcer reads it, and the window is told when it changes. (The log keeps the
// song it logs apart: it reads the player once more and cuts the "[Opening]" marker.)

#include <string>

#include "platform/window_system.h"

namespace zurelo {

class SongDisplay {
 public:
  virtual ~SongDisplay() = default;
  virtual void ShowSong(const std::wstring& song) = 0;
};

class NowPlaying {
 public:
  NowPlaying(platform::WindowSystem& windows, SongDisplay& display)
      : windows_(windows), display_(display) {}

  // Reads the player again; a title that cannot be read keeps the song shown.
  void Refresh();
  // The song as last shown.
  const std::wstring& song() const { return song_; }

 private:
  platform::WindowSystem& windows_;
  SongDisplay& display_;
  std::wstring song_;
};

}  // namespace zurelo
