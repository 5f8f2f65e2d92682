#include "main/now_playing_file.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "platform/utf8.h"
#include "player/song_format.h"

namespace zurelo {

void NowPlayingFile::Follow(const std::wstring& path) {
  path_ = path;
  written_.reset();  // another file: nothing is known of what it holds
  if (failing_) view_.SetFileRetryTimer(false);
  failing_ = false;
  Update();
}

void NowPlayingFile::SetTexts(const FileTexts& texts) {
  texts_ = texts;
  Fill();
  Update();
}

void NowPlayingFile::Show(const player::SongFacts& facts) {
  facts_ = facts;
  Fill();
  Update();
}

void NowPlayingFile::Fill() {
  if (!facts_) return;
  const std::wstring* format = &texts_.stopped;
  if (facts_->state == player::PlayerState::kPlaying) format = &texts_.playing;
  if (facts_->state == player::PlayerState::kPaused) format = &texts_.paused;
  // No text at all is zero bytes, so an overlay that shows the file shows nothing.
  wanted_ =
      format->empty() ? std::string() : EncodeNowPlayingFile(player::FillFormat(*format, *facts_));
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

void NowPlayingFiles::SetOthers(const std::vector<FileFormat>& others) {
  std::list<NowPlayingFile> kept;
  for (const FileFormat& format : others) {
    auto same = std::find_if(others_.begin(), others_.end(),
                             [&](const NowPlayingFile& f) { return f.path() == format.path; });
    if (same != others_.end()) {
      kept.splice(kept.end(), others_, same);
      kept.back().SetTexts(format.texts);
      continue;
    }
    kept.emplace_back(files_, static_cast<NowPlayingFileView&>(*this));
    NowPlayingFile& file = kept.back();
    file.SetTexts(format.texts);
    if (facts_) file.Show(*facts_);
    file.Follow(format.path);
  }
  others_.swap(kept);  // a file no longer chosen is left as it is
  UpdateTimer();
}

void NowPlayingFiles::Show(const player::SongFacts& facts) {
  facts_ = facts;
  main_.Show(facts);
  for (NowPlayingFile& file : others_) file.Show(facts);
  UpdateTimer();
}

void NowPlayingFiles::Retry() {
  main_.Retry();
  for (NowPlayingFile& file : others_) file.Retry();
  UpdateTimer();
}

void NowPlayingFiles::StopAll() {
  main_.Follow(L"");
  others_.clear();
  UpdateTimer();
}

std::vector<FileFormat> NowPlayingFiles::others() const {
  std::vector<FileFormat> formats;
  for (const NowPlayingFile& file : others_) formats.push_back({file.path(), file.texts()});
  return formats;
}

void NowPlayingFiles::UpdateTimer() {
  const bool failing = main_.failing() || std::any_of(others_.begin(), others_.end(),
                                                      [](const auto& f) { return f.failing(); });
  if (failing == timer_) return;
  timer_ = failing;
  view_.SetFileRetryTimer(failing);
}

std::string EncodeNowPlayingFile(const std::wstring& text) {
  return platform::kUtf8Mark + platform::ToUtf8(platform::BlankControlCharacters(text));
}

std::wstring NowPlayingFileFailure(const std::wstring& path, const platform::FileError& error) {
  return L"The now-playing file cannot be written:\n" + path + L"\n\nError " +
         std::to_wstring(error.number) + L": " + error.description +
         L"\n\nZurelo tries again every few seconds.";
}

}  // namespace zurelo
