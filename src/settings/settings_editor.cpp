#include "settings/settings_editor.h"

#include "settings/settings.h"

namespace settings {

void SettingsEditor::Load() {
  std::wstring pause = store_.Get(app_, kPauseSection, kPauseKey);
  const std::wstring choice = store_.Get(app_, kTransSection, kTransKey);
  if (pause.empty()) pause = kDefaultPause;
  view_.SetPauseText(pause);
  if (choice == kTransOn) view_.SelectTranslucent(true);
  if (choice == kTransOff) view_.SelectTranslucent(false);
}

void SettingsEditor::Save() {
  const std::wstring pause = view_.PauseText();
  if (IsNumeric(pause, decimal_separator_)) {
    // Success is reported only when the store really took the value.
    if (store_.Save(app_, kPauseSection, kPauseKey, pause)) {
      view_.Inform(kSavedText);
    } else {
      view_.Reject(kNotSavedText);
    }
  } else {
    view_.Reject(kInvalidText);
  }
  if (view_.TranslucentSelected()) {
    MakeTranslucent(windows_, main_window_, kAlphaOn);
    store_.Save(app_, kTransSection, kTransKey, kTransOn);
  }
  if (view_.OpaqueSelected()) {
    store_.Save(app_, kTransSection, kTransKey, kTransOff);
    MakeTranslucent(windows_, main_window_, kAlphaOff);
  }
}

}  // namespace settings
