#pragma once
// The settings window "Settings": the pause in seconds and translucency on or off.
// At most one exists; it is created on demand and shown without an owner.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/settings_store.h"
#include "platform/win32/event_pump.h"
#include "platform/window_system.h"
#include "settings/settings_editor.h"
#include "ui/form.h"
#include "ui/theme.h"

namespace settings {

class Form2 : public ui::Form, private SettingsView {
 public:
  Form2(platform::SettingsStore& store, const std::wstring& app, platform::WindowSystem& windows,
        platform::win32::Win32EventPump& pump);
  ~Form2() override { Unload(); }
  Form2(const Form2&) = delete;
  Form2& operator=(const Form2&) = delete;

  // Creates and loads the window when it is not open, then shows it and brings it up.
  void Open(HINSTANCE instance, HWND main_window);
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

  platform::SettingsStore& store_;
  std::wstring app_;
  platform::WindowSystem& windows_;
  platform::win32::Win32EventPump& pump_;
  HWND main_window_ = nullptr;
  std::optional<ui::Theme> theme_;
};

}  // namespace settings
