#include "main/now_playing_file.h"

#include "main/log_file.h"

namespace zurelo {

void NowPlayingFile::Follow(const std::wstring& path, const std::wstring& song) {
  path_ = path;
  failing_ = false;
  // At start the song is not read yet: the first song shown is written then.
  if (!path_.empty() && !song.empty()) Write(song);
}

void NowPlayingFile::SongShown(const std::wstring& song) {
  if (path_.empty() || song == written_) return;
  Write(song);
}

void NowPlayingFile::Write(const std::wstring& song) {
  // Written beside the file and put in its place, so a reader never sees it half written.
  if (const auto error = files_.WriteWhole(path_, EncodeNowPlayingFile(song))) {
    written_.clear();  // whatever the file holds now, the next song is written
    if (failing_) return;
    failing_ = true;
    report_(std::to_wstring(error->number) + L" " + error->description);
    return;
  }
  written_ = song;
  failing_ = false;
}

}  // namespace zurelo
