#pragma once
// The settings window "Settings": the pause in seconds and translucency on or off.
// At most one exists; it is created on demand and shown without an owner.

#include <windows.h>

#include <string>

#include "platform/win32/event_pump.h"
#include "settings/settings_editor.h"
#include "settings/settings_model.h"
#include "ui/form.h"

namespace settings {

class SettingsWindow : public ui::Form, private SettingsView {
 public:
  SettingsWindow(SettingsModel& model, platform::win32::Win32EventPump& pump);
  ~SettingsWindow() override { Unload(); }
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Creates and loads the window when it is not open, then shows it and brings it up.
  void Open(HINSTANCE instance);
  // Closes the window when it is open.
  void Unload();

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool Create(HINSTANCE instance);
  SettingsEditor Editor();

  // SettingsView
  std::wstring PauseText() override;
  void SetPauseText(const std::wstring& text) override;
  bool TranslucentSelected() override;
  bool OpaqueSelected() override;
  void SelectTranslucent(bool on) override;
  void Inform(const std::wstring& text) override;
  void Reject(const std::wstring& text) override;

  SettingsModel& model_;
};

}  // namespace settings
