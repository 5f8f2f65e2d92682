#pragma once
// The main window "Zurelo 1.0": the now-playing label, the prefix box, On/Off, Reload,
// Settings, the chat-client choice, and the song log beyond the right edge.

#include <windows.h>

#include <string>

#include "chat/chat_senders.h"
#include "main/announcer.h"
#include "main/formats_window.h"
#include "main/now_playing_file.h"
#include "main/now_playing_model.h"
#include "main/reload.h"
#include "main/song_label.h"
#include "main/song_list_box.h"
#include "main/song_log.h"
#include "platform/clock.h"
#include "platform/file_output.h"
#include "platform/launcher.h"
#include "platform/text_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/instance_claim.h"
#include "platform/window_system.h"
#include "settings/settings_model.h"
#include "settings/settings_window.h"
#include "ui/form.h"

namespace zurelo {

// The platform parts the main window works with.
struct Services {
  platform::WindowSystem& windows;
  platform::win32::Win32EventPump& pump;
  platform::Clock& clock;
  settings::SettingsModel& settings;
  platform::FileOutput& files;
  platform::TextCodec& codec;
  platform::Launcher& launcher;
  // Held by this copy; the window publishes itself in it once shown.
  platform::win32::Win32InstanceClaim& claim;
};

class MainWindow : public ui::Form,
                   private AnnouncerView,
                   private SongLogView,
                   private SongDisplay,
                   private NowPlayingFileView {
 public:
  explicit MainWindow(const Services& services);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, runs the load handler and shows the window;
  // false when the window could not be created.
  bool Create(HINSTANCE instance, int show);

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  void Load();
  void OnSettingChanged(const settings::Setting& setting, const std::wstring& value);
  [[noreturn]] void Unload();
  // Reload's hand-over: from here on this copy sends no line, writes no file and runs no
  // timer but the one that ends it.
  void GoQuiet();
  // A later start asked for this window: restored, and in front.
  void ComeForward();
  // The commands: what each button, option button and system-menu choice does.
  void BindCommands();
  void OnTimer(UINT_PTR id);
  void SaveLog();
  void AddMenuChoices();
  void TickMenuChoice(UINT command, bool ticked);
  void ChooseNowPlayingFile();

  enum Timer : UINT_PTR {
    kLogTimer = 1,    // song log poll, 1000 ms
    kAnnounceTimer,   // announcer cycle, 10 ms
    kRefreshTimer,    // now-playing refresh, 10 ms
    kPauseTimer,      // the end of the announcer's pause, one-shot
    kReloadTimer,     // the end of this copy after Reload, one-shot
    kFileRetryTimer,  // the now-playing file tried again while it cannot be written
  };
  // A failure of the now-playing file is shown from this posted message, outside whatever
  // was writing it.
  static constexpr UINT kFileFailureMessage = WM_APP + 0x120;

  // SongDisplay: the song shown, or anything known of what plays, changed.
  void ShowSong(const std::wstring& song) override;
  void ShowFacts(const player::SongFacts& facts) override;

  // AnnouncerView
  bool IsSelected(const ChatClient& client) override;
  std::wstring Prefix() override;
  void SetAnnounceTimer(bool enabled) override;
  void SetPauseTimer(double seconds) override;
  void Inform(const std::wstring& text) override;
  void Refuse(const std::wstring& text) override;
  // SongLogView
  std::wstring ToggleCaption() override;
  void SetToggleCaption(const std::wstring& caption) override;
  void SetLogTimer(bool enabled) override;
  // NowPlayingFileView
  void SetFileRetryTimer(bool enabled) override;
  void TellFileFailure(const std::wstring& text) override;
  void ShowFileFailure();

  Services s_;
  HINSTANCE instance_ = nullptr;
  // The pause as read at start: a pause saved later takes effect at the next start.
  std::wstring pause_seconds_;
  std::wstring last_log_file_;  // the save dialog starts with the name chosen last
  SongLabel label_;
  SongListBox list_;
  NowPlaying now_playing_;
  chat::ChatSenders chat_;
  Announcer announcer_;
  SongLog log_;
  Reloader reloader_;
  settings::SettingsWindow settings_window_;
  FormatsWindow formats_window_;
  NowPlayingFiles now_playing_files_;
  std::wstring file_failure_;  // told, and shown once the posted message comes
  bool file_box_up_ = false;
  bool quiet_ = false;
  UINT come_forward_message_ = 0;
};

}  // namespace zurelo
