#include "main/song_log.h"

#include "main/log_file.h"
#include "player/now_playing.h"

namespace zurelo {

void SongLog::Toggle() {
  if (view_.ToggleCaption() == kStartLogging) {
    view_.SetToggleCaption(kStopLogging);
    view_.SetLogTimer(true);
  } else {
    view_.SetLogTimer(false);
    view_.SetToggleCaption(kStartLogging);
  }
}

void SongLog::Poll() {
  view_.SetLogTimer(false);
  if (auto song = player::ReadNowPlaying(windows_)) view_.SetLabel(*song);
  if (auto song = player::ReadNowPlaying(windows_)) current_song_ = std::move(*song);
  // A song that is still opening carries the marker and a blank; exactly the marker stays.
  const std::wstring marker = kOpeningMarker;
  if (current_song_.size() >= marker.size() + 1 &&
      current_song_.compare(0, marker.size(), marker) == 0) {
    current_song_.erase(0, marker.size() + 1);
  }
  if (view_.Count() > 0) view_.SelectTop();
  if (view_.SelectedText() != current_song_) view_.InsertTop(current_song_);
  view_.SetLogTimer(true);
}

std::string FormatLog(SongLogView& view, platform::TextCodec& codec) {
  std::vector<std::wstring> entries;
  const int count = view.Count();
  for (int i = 0; i < count; ++i) entries.push_back(view.Entry(i));
  return EncodeLogFile(entries, codec);
}

}  // namespace zurelo
