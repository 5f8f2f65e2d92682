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
  // The next tick comes one interval after this one has finished, however it finishes.
  struct Rearm {
    SongLogView& view;
    ~Rearm() { view.SetLogTimer(true); }
  } rearm{view_};
  now_playing_.Refresh();
  if (auto song = player::ReadNowPlaying(windows_)) current_song_ = std::move(*song);
  // A song that is still opening carries the marker and a blank; exactly the marker stays.
  const std::wstring marker = kOpeningMarker;
  if (current_song_.size() >= marker.size() + 1 &&
      current_song_.compare(0, marker.size(), marker) == 0) {
    current_song_.erase(0, marker.size() + 1);
  }
  if (list_.Count() > 0) list_.SelectTop();
  if (list_.SelectedText() != current_song_) list_.InsertTop(current_song_);
}

std::optional<std::wstring> SongLog::Save(const std::wstring& path, platform::FileOutput& files,
                                          platform::TextCodec& codec) {
  const auto error = files.WriteWhole(path, FormatLog(list_, codec));
  if (!error) return std::nullopt;
  return std::to_wstring(error->number) + L" " + error->description;
}

std::string FormatLog(SongList& list, platform::TextCodec& codec) {
  std::vector<std::wstring> entries;
  const int count = list.Count();
  for (int i = 0; i < count; ++i) entries.push_back(list.Entry(i));
  return EncodeLogFile(entries, codec);
}

}  // namespace zurelo
