#pragma once
// The song log: while logging is on, the song playing is put at the top of the list once a
// second unless it is already there; the list can be written to a text file and cleared.

#include <optional>
#include <string>

#include "main/now_playing_model.h"
#include "platform/file_output.h"
#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace zurelo {

inline constexpr wchar_t kStartLogging[] = L"Start Logging Songs";
inline constexpr wchar_t kStopLogging[] = L"Stop Logging Songs";
inline constexpr wchar_t kOpeningMarker[] = L"[Opening]";

// The toggle button and the log timer on the main window.
class SongLogView {
 public:
  virtual ~SongLogView() = default;
  virtual std::wstring ToggleCaption() = 0;
  virtual void SetToggleCaption(const std::wstring& caption) = 0;
  virtual void SetLogTimer(bool enabled) = 0;
};

// The list of logged songs, newest at index 0.
class SongList {
 public:
  virtual ~SongList() = default;
  virtual int Count() = 0;
  virtual void SelectTop() = 0;
  virtual std::wstring SelectedText() = 0;  // empty when nothing is selected
  virtual void InsertTop(const std::wstring& song) = 0;
  virtual std::wstring Entry(int index) = 0;
  virtual void Clear() = 0;
};

class SongLog {
 public:
  SongLog(SongLogView& view, SongList& list, NowPlaying& now_playing,
          platform::WindowSystem& windows)
      : view_(view), list_(list), now_playing_(now_playing), windows_(windows) {}

  void Toggle();  // "Start Logging Songs" / "Stop Logging Songs"
  void Poll();    // one tick of the log timer
  void ClearLog() { list_.Clear(); }
  // Writes the list to the file; the text of the error box when that failed.
  std::optional<std::wstring> Save(const std::wstring& path, platform::FileOutput& files,
                                   platform::TextCodec& codec);

 private:
  SongLogView& view_;
  SongList& list_;
  NowPlaying& now_playing_;
  platform::WindowSystem& windows_;
  std::wstring current_song_;  // the song read by the latest tick
};

// The log file's bytes: the list's entries, top first, as EncodeLogFile writes them.
std::string FormatLog(SongList& list, platform::TextCodec& codec);

}  // namespace zurelo
