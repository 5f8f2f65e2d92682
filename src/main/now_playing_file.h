#pragma once
// The song for stream overlays: a file that holds exactly the song the label shows while the
// player plays it, and nothing at all (zero bytes) while the player is paused, stopped or not
// running, for a streaming program's text source to read. It is written when chosen, at
// start and when that changes, never while it stays the same; a write that failed is tried
// again on a timer until one succeeds.

#include <optional>
#include <string>

#include "platform/file_output.h"

namespace zurelo {

// What the file needs of the main window.
class NowPlayingFileView {
 public:
  virtual ~NowPlayingFileView() = default;
  // A timer of a few seconds, on while the file cannot be written; its tick calls Retry.
  virtual void SetFileRetryTimer(bool enabled) = 0;
  // Tells the user of a failure and returns at once: nothing waits for the box.
  virtual void TellFileFailure(const std::wstring& text) = 0;
};

class NowPlayingFile {
 public:
  NowPlayingFile(platform::FileOutput& files, NowPlayingFileView& view)
      : files_(files), view_(view) {}

  // Writes to path from now on, at once when what plays is known; an empty path stops the
  // writing and leaves the file as it is.
  void Follow(const std::wstring& path);
  // What plays now: the song while the player plays it, nothing otherwise.
  void Show(const std::wstring& song, bool playing);
  // The retry timer's tick: the file is written again with what it should hold now.
  void Retry() { Update(); }
  const std::wstring& path() const { return path_; }

 private:
  void Update();

  platform::FileOutput& files_;
  NowPlayingFileView& view_;
  std::wstring path_;
  std::optional<std::string> wanted_;   // the bytes it should hold; none before the first read
  std::optional<std::string> written_;  // what it holds since this program wrote it
  // A failure was told: later ones stay silent until a write succeeds again, so boxes never
  // pile up while the file cannot be written. The retry timer runs meanwhile.
  bool failing_ = false;
};

// The file's bytes for a song: UTF-8 with a byte-order mark (what streaming programs and
// the Windows editors read), one line without a line break, control characters blanks.
std::string EncodeNowPlayingFile(const std::wstring& song);

// The text of the box that tells a failure: the path, the error's number and its text.
std::wstring NowPlayingFileFailure(const std::wstring& path, const platform::FileError& error);

}  // namespace zurelo
