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
  // Written beside the file and put in its place, so a reader never sees it half written;
  // only a reader that holds it open against being replaced gets it rewritten in place.
  if (const auto error = files_.WriteWhole(path_, EncodeNowPlayingFile(song))) {
    written_.clear();  // whatever the file holds now, the next song is written
    // A failure while the box is still open counts as told.
    const bool told = failing_ || telling_;
    failing_ = true;
    if (told) return;
    telling_ = true;
    report_(std::to_wstring(error->number) + L" " + error->description);
    telling_ = false;
    return;
  }
  written_ = song;
  failing_ = false;
}

}  // namespace zurelo
