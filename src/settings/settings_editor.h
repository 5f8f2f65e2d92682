#pragma once
// The settings window's behaviour: shows the stored values when it loads, and checks,
// stores and applies them when the user saves.

#include <string>

#include "settings/settings_model.h"

namespace settings {

inline constexpr wchar_t kSavedText[] = L"Settings Saved!!";
inline constexpr wchar_t kInvalidText[] = L"Invalid Entry";
inline constexpr wchar_t kNotSavedText[] = L"Settings could not be saved!!";

class SettingsView {
 public:
  virtual ~SettingsView() = default;
  virtual std::wstring PauseText() = 0;
  virtual void SetPauseText(const std::wstring& text) = 0;
  virtual bool TranslucentSelected() = 0;             // "On"
  virtual bool OpaqueSelected() = 0;                  // "Off"
  virtual void SelectTranslucent(bool on) = 0;        // selects "On" (true) or "Off" (false)
  virtual void Inform(const std::wstring& text) = 0;  // information box
  virtual void Reject(const std::wstring& text) = 0;  // critical box
};

class SettingsEditor {
 public:
  SettingsEditor(SettingsView& view, SettingsModel& model, wchar_t decimal_separator = L'.')
      : view_(view), model_(model), decimal_separator_(decimal_separator) {}

  void Load();
  // Stores the pause when it is a number, and the translucency choice in any case; the
  // main window, listening to the model, applies the choice at once.
  void Save();

 private:
  SettingsView& view_;
  SettingsModel& model_;
  wchar_t decimal_separator_;
};

}  // namespace settings
