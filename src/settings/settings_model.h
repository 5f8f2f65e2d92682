#pragma once
// Every per-user setting in one place: where it is stored, what it is when nothing is
// stored, how its text is read. Whoever needs a setting reads it here, and whoever must
// act on a change (the main window's translucency, say) listens here.

#include <functional>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace settings {

// One stored setting: its section and key, and its value when nothing is stored.
struct Setting {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* fallback;
};

// The pause after each line, in seconds, as typed: the wait reads its leading number.
// A new pause reaches the announcer only at the next start.
inline constexpr Setting kPauseSeconds{L"Pause", L"Pause1", L"60"};
// "1" translucent, "2" not; anything else (nothing stored) leaves the window as it opens.
inline constexpr Setting kTranslucency{L"Trans", L"Trans1", L""};

// The system menu's choices. "1" announces each song only once; anything else every pause.
inline constexpr Setting kAnnounceOnce{L"Once", L"Once1", L"2"};
// The full path of the now-playing file; empty when none is written.
inline constexpr Setting kNowPlayingFile{L"File", L"File1", L""};

// The formats window's choices, formats with placeholders such as {song}. The line's format;
// nothing stored is the prefix followed by the song.
inline constexpr Setting kLineFormat{L"Line", L"Format1", L"{prefix}{song}"};
// The now-playing file's texts while playing, paused and stopped, as one record of
// EncodeRecords; nothing stored is the song, nothing, nothing.
inline constexpr Setting kNowPlayingFileTexts{L"File", L"Texts1", L""};
// The other now-playing files, a record each: the path and its three texts.
inline constexpr Setting kOtherFiles{L"File", L"Others1", L""};

inline constexpr wchar_t kOn[] = L"1";
inline constexpr wchar_t kOff[] = L"2";

class SettingsModel {
 public:
  using Listener = std::function<void(const Setting& changed, const std::wstring& value)>;

  SettingsModel(platform::SettingsStore& store, std::wstring app)
      : store_(store), app_(std::move(app)) {}

  // The stored text, or the setting's fallback when nothing is stored.
  std::wstring Get(const Setting& setting) const;
  // Stores the text and tells the listeners; false when the store did not take it.
  bool Set(const Setting& setting, const std::wstring& value);
  bool SetOn(const Setting& setting, bool on) { return Set(setting, on ? kOn : kOff); }

  void Listen(Listener listener) { listeners_.push_back(std::move(listener)); }

 private:
  platform::SettingsStore& store_;
  std::wstring app_;
  std::vector<Listener> listeners_;
};

}  // namespace settings
