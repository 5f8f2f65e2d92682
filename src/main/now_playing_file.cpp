#include "main/now_playing_file.h"

#include "platform/text_codec.h"
#include "platform/utf8.h"

namespace zurelo {

void NowPlayingFile::Follow(const std::wstring& path) {
  path_ = path;
  written_.reset();  // another file: nothing is known of what it holds
  if (failing_) view_.SetFileRetryTimer(false);
  failing_ = false;
  Update();
}

void NowPlayingFile::Show(const std::wstring& song, bool playing) {
  // Nothing plays: the file is emptied, so an overlay that shows it shows nothing.
  wanted_ = playing ? EncodeNowPlayingFile(song) : std::string();
  Update();
}

void NowPlayingFile::Update() {
  // At start the player is not read yet: the first reading is written then.
  if (path_.empty() || !wanted_ || wanted_ == written_) return;
  // Written beside the file and put in its place, so a reader never sees it half written;
  // only a reader that holds it open against being replaced gets it rewritten in place.
  if (const auto error = files_.WriteWhole(path_, *wanted_)) {
    written_.reset();  // whatever the file holds now, the next try writes it whole
    if (failing_) return;
    failing_ = true;
    view_.SetFileRetryTimer(true);
    view_.TellFileFailure(NowPlayingFileFailure(path_, *error));
    return;
  }
  written_ = wanted_;
  if (!failing_) return;
  failing_ = false;
  view_.SetFileRetryTimer(false);
}

std::string EncodeNowPlayingFile(const std::wstring& song) {
  return platform::kUtf8Mark + platform::ToUtf8(platform::BlankControlCharacters(song));
}

std::wstring NowPlayingFileFailure(const std::wstring& path, const platform::FileError& error) {
  return L"The now-playing file cannot be written:\n" + path + L"\n\nError " +
         std::to_wstring(error.number) + L": " + error.description +
         L"\n\nZurelo tries again every few seconds.";
}

}  // namespace zurelo
