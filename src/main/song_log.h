#pragma once
// The song log: while logging is on, the song playing is put at the top of the list once a
// second unless it is already there; the list can be written to a text file and cleared.

#include <optional>
#include <string>
#include <vector>

#include "platform/file_output.h"
#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace zurelo {

inline constexpr wchar_t kStartLogging[] = L"Start Logging Songs";
inline constexpr wchar_t kStopLogging[] = L"Stop Logging Songs";
inline constexpr wchar_t kOpeningMarker[] = L"[Opening]";

// What the log reads and drives on the main window.
class SongLogView {
 public:
  virtual ~SongLogView() = default;
  virtual std::wstring ToggleCaption() = 0;
  virtual void SetToggleCaption(const std::wstring& caption) = 0;
  virtual void SetLogTimer(bool enabled) = 0;
  virtual void SetLabel(const std::wstring& text) = 0;
  virtual int Count() = 0;
  virtual void SelectTop() = 0;
  virtual std::wstring SelectedText() = 0;  // empty when nothing is selected
  virtual void InsertTop(const std::wstring& song) = 0;
  virtual std::wstring Entry(int index) = 0;
  virtual void Clear() = 0;
};

class SongLog {
 public:
  SongLog(SongLogView& view, platform::WindowSystem& windows) : view_(view), windows_(windows) {}

  void Toggle();  // "Start Logging Songs" / "Stop Logging Songs"
  void Poll();    // one tick of the log timer
  void ClearLog() { view_.Clear(); }
  const std::wstring& CurrentSong() const { return current_song_; }

 private:
  SongLogView& view_;
  platform::WindowSystem& windows_;
  std::wstring current_song_;
};

// The log file's bytes: the list's entries, top first, as EncodeLogFile writes them.
std::string FormatLog(SongLogView& view, platform::TextCodec& codec);

}  // namespace zurelo
