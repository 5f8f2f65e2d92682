#pragma once
// The main window "Zurelo 1.0": the now-playing label, the prefix box, On/Off, Reload,
// Settings, the chat-client choice, and the song log beyond the right edge.

#include <windows.h>

#include <string>

#include "chat/zurelo_chat.h"
#include "main/announcer.h"
#include "main/song_log.h"
#include "main/win_controls.h"
#include "platform/win32/ansi_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/file_output.h"
#include "platform/win32/handles.h"
#include "platform/win32/launcher.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/window_system.h"
#include "settings/form2.h"

namespace zurelo {

struct Platform {
  platform::win32::AnsiCodec codec;
  platform::win32::Win32EventPump pump;
  platform::win32::Win32WindowSystem windows{codec, pump};
  platform::win32::SteadyClock clock;
  platform::win32::RegistrySettings store;
  platform::win32::Win32FileOutput files;
  platform::win32::Win32Launcher launcher;
  std::wstring app_name;  // the executable's base name, under which settings are stored
};

class Form1 : public controls::WindowObject, private AnnouncerView, private SongLogView {
 public:
  explicit Form1(Platform& platform);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, runs the load handler and shows the window;
  // false when the window could not be created.
  bool Create(HINSTANCE instance, int show);

  // Sets the label from the player's title.
  void Update();

  std::wstring PauseVAL;
  std::wstring TrannyVal;

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  void Load();
  [[noreturn]] void Unload();
  void OnCommand(int id);
  void OnTimer(UINT_PTR id);
  void RefreshTick();
  void Reload();
  void SaveLog();
  void DrawLabel(const DRAWITEMSTRUCT& d);
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void SetTooltip(const std::wstring& text);

  // AnnouncerView
  bool IsSelected(ChatClient client) override;
  std::wstring Prefix() override;
  std::wstring Song() override { return label_text_; }
  void SetAnnounceTimer(bool enabled) override;
  void Inform(const std::wstring& text) override;
  // SongLogView
  std::wstring ToggleCaption() override;
  void SetToggleCaption(const std::wstring& caption) override;
  void SetLogTimer(bool enabled) override;
  void SetLabel(const std::wstring& text) override;
  int Count() override;
  void SelectTop() override;
  std::wstring SelectedText() override;
  void InsertTop(const std::wstring& song) override;
  std::wstring Entry(int index) override;
  void Clear() override;

  Platform& p_;
  HINSTANCE instance_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND saved_focus_ = nullptr;  // the control that had the focus when the window was left
  int dpi_ = 96;
  controls::Fonts fonts_;
  platform::win32::UniqueBrush grey_, face_, black_, window_;
  bool announce_timer_on_ = false;  // the announcer timer as the announcer set it
  std::wstring label_text_;         // what the label shows
  std::wstring tooltip_text_;       // what its tool tip shows
  std::wstring last_log_file_;      // the save dialog starts with the name chosen last
  chat::ZureloChat chat_;
  Announcer announcer_;
  SongLog log_;
  settings::Form2 form2_;
};

}  // namespace zurelo
