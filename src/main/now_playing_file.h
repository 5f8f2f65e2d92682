#pragma once
// The song for stream overlays: a file that holds exactly the song the label shows, for a
// streaming program's text source to read. It is written when chosen, at start and when
// the song shown changes, and never while the song stays the same.

#include <functional>
#include <string>

#include "platform/file_output.h"

namespace zurelo {

class NowPlayingFile {
 public:
  // report shows a failure to the user (a message box with the error's number and text).
  NowPlayingFile(platform::FileOutput& files, std::function<void(const std::wstring&)> report)
      : files_(files), report_(std::move(report)) {}

  // Writes the song to path from now on, and at once when there is one; an empty path stops
  // the writing and leaves the file as it is.
  void Follow(const std::wstring& path, const std::wstring& song);
  void SongShown(const std::wstring& song);
  const std::wstring& path() const { return path_; }

 private:
  void Write(const std::wstring& song);

  platform::FileOutput& files_;
  std::function<void(const std::wstring&)> report_;
  std::wstring path_;
  std::wstring written_;  // the song in the file now
  // A failure was reported: later ones stay silent until a write succeeds again, so boxes
  // never pile up while the file cannot be written.
  bool failing_ = false;
  bool telling_ = false;  // the box is open: whatever happens meanwhile is not told again
};

}  // namespace zurelo
