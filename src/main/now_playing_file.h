#pragma once
// The song for stream overlays: files that each hold a text filled from what plays, one text
// while the player plays, one while it is paused and one while it is stopped or not running
// (by default the song the label shows, nothing, nothing: zero bytes), for a streaming
// program's text source to read. Each is written when chosen, at start and when its text
// changes, never while it stays the same; a write that failed is tried again on a timer
// until one succeeds.

#include <list>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_output.h"
#include "player/song_facts.h"

namespace zurelo {

// What the files need of the main window.
class NowPlayingFileView {
 public:
  virtual ~NowPlayingFileView() = default;
  // A timer of a few seconds, on while a file cannot be written; its tick calls Retry.
  virtual void SetFileRetryTimer(bool enabled) = 0;
  // Tells the user of a failure and returns at once: nothing waits for the box.
  virtual void TellFileFailure(const std::wstring& text) = 0;
};

// A file's three formats, by the player's state.
struct FileTexts {
  std::wstring playing = L"{song}";
  std::wstring paused;
  std::wstring stopped;  // also while no player runs

  bool operator==(const FileTexts& o) const {
    return playing == o.playing && paused == o.paused && stopped == o.stopped;
  }
};

// A file and its texts.
struct FileFormat {
  std::wstring path;
  FileTexts texts;

  bool operator==(const FileFormat& o) const { return path == o.path && texts == o.texts; }
};

class NowPlayingFile {
 public:
  NowPlayingFile(platform::FileOutput& files, NowPlayingFileView& view)
      : files_(files), view_(view) {}

  // Writes to path from now on, at once when what plays is known; an empty path stops the
  // writing and leaves the file as it is.
  void Follow(const std::wstring& path);
  // The formats from now on; the file is rewritten only if its text changes.
  void SetTexts(const FileTexts& texts);
  // What plays now.
  void Show(const player::SongFacts& facts);
  // The retry timer's tick: the file is written again with what it should hold now.
  void Retry() { Update(); }
  const std::wstring& path() const { return path_; }
  const FileTexts& texts() const { return texts_; }
  // A failure was told and no write has succeeded since.
  bool failing() const { return failing_; }

 private:
  void Fill();
  void Update();

  platform::FileOutput& files_;
  NowPlayingFileView& view_;
  std::wstring path_;
  FileTexts texts_;
  std::optional<player::SongFacts> facts_;  // none before the first read
  std::optional<std::string> wanted_;       // the bytes it should hold
  std::optional<std::string> written_;      // what it holds since this program wrote it
  // A failure was told: later ones stay silent until a write succeeds again, so boxes never
  // pile up while the file cannot be written. The retry timer runs meanwhile.
  bool failing_ = false;
};

// The file chosen from the system menu and the others chosen in the formats window, each
// with its own texts; one retry timer serves them all.
class NowPlayingFiles : private NowPlayingFileView {
 public:
  NowPlayingFiles(platform::FileOutput& files, NowPlayingFileView& view)
      : files_(files), view_(view), main_(files, *this) {}

  void FollowMain(const std::wstring& path) {
    Run([&] { main_.Follow(path); });
  }
  void SetMainTexts(const FileTexts& texts) {
    Run([&] { main_.SetTexts(texts); });
  }
  // The other files: one whose path stays keeps what is known of it, so it is rewritten
  // only if its text changes.
  void SetOthers(const std::vector<FileFormat>& others);
  void Show(const player::SongFacts& facts);
  void Retry();
  // No file is written from now on; each is left as it is.
  void StopAll();
  const NowPlayingFile& main() const { return main_; }
  std::vector<FileFormat> others() const;

 private:
  template <typename F>
  void Run(F f) {
    f();
    UpdateTimer();
  }
  void UpdateTimer();
  // Each file's own timer is this one's: it is on while any file fails.
  void SetFileRetryTimer(bool) override {}
  void TellFileFailure(const std::wstring& text) override { view_.TellFileFailure(text); }

  platform::FileOutput& files_;
  NowPlayingFileView& view_;
  NowPlayingFile main_;
  std::list<NowPlayingFile> others_;  // they keep their address: each knows this view
  std::optional<player::SongFacts> facts_;
  bool timer_ = false;
};

// The file's bytes for a filled text: UTF-8 with a byte-order mark (what streaming programs
// and the Windows editors read), one line without a line break, control characters blanks.
std::string EncodeNowPlayingFile(const std::wstring& text);

// The text of the box that tells a failure: the path, the error's number and its text.
std::wstring NowPlayingFileFailure(const std::wstring& path, const platform::FileError& error);

}  // namespace zurelo
