#pragma once
// The main window "Zurelo 1.0": the now-playing label, the prefix box, On/Off, Reload,
// Settings, the chat-client choice, and the song log beyond the right edge.

#include <windows.h>

#include <optional>
#include <string>

#include "chat/zurelo_chat.h"
#include "main/announcer.h"
#include "main/now_playing_model.h"
#include "main/reload.h"
#include "main/song_label.h"
#include "main/song_list_box.h"
#include "main/song_log.h"
#include "platform/clock.h"
#include "platform/file_output.h"
#include "platform/launcher.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/window_system.h"
#include "settings/form2.h"
#include "ui/form.h"
#include "ui/theme.h"

namespace zurelo {

// The platform parts the main window works with.
struct Services {
  platform::WindowSystem& windows;
  platform::win32::Win32EventPump& pump;
  platform::Clock& clock;
  platform::SettingsStore& store;
  platform::FileOutput& files;
  platform::TextCodec& codec;
  platform::Launcher& launcher;
  std::wstring app_name;  // the executable's base name, under which settings are stored
};

class Form1 : public ui::Form, private AnnouncerView, private SongLogView {
 public:
  explicit Form1(const Services& services);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, runs the load handler and shows the window;
  // false when the window could not be created.
  bool Create(HINSTANCE instance, int show);

  // Sets the label from the player's title.
  void Update() { now_playing_.Refresh(); }

  std::wstring PauseVAL;
  std::wstring TrannyVal;

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  void Load();
  [[noreturn]] void Unload();
  void OnCommand(int id);
  void OnTimer(UINT_PTR id);
  void SaveLog();

  // AnnouncerView
  bool IsSelected(ChatClient client) override;
  std::wstring Prefix() override;
  void SetAnnounceTimer(bool enabled) override;
  void Inform(const std::wstring& text) override;
  // SongLogView
  std::wstring ToggleCaption() override;
  void SetToggleCaption(const std::wstring& caption) override;
  void SetLogTimer(bool enabled) override;

  Services s_;
  HINSTANCE instance_ = nullptr;
  std::optional<ui::Theme> theme_;
  std::wstring last_log_file_;  // the save dialog starts with the name chosen last
  SongLabel label_;
  SongListBox list_;
  NowPlaying now_playing_;
  chat::ZureloChat chat_;
  Announcer announcer_;
  SongLog log_;
  Reloader reloader_;
  settings::Form2 form2_;
};

}  // namespace zurelo
