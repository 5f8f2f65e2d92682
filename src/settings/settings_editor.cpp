#include "settings/settings_editor.h"

#include "settings/is_numeric.h"

namespace settings {

void SettingsEditor::Load() {
  view_.SetPauseText(model_.Get(kPauseSeconds));
  const std::wstring choice = model_.Get(kTranslucency);
  if (choice == kOn) view_.SelectTranslucent(true);
  if (choice == kOff) view_.SelectTranslucent(false);
}

void SettingsEditor::Save() {
  const std::wstring pause = view_.PauseText();
  if (IsNumeric(pause, decimal_separator_)) {
    // Success is reported only when the store really took the value.
    if (model_.Set(kPauseSeconds, pause)) {
      view_.Inform(kSavedText);
    } else {
      view_.Reject(kNotSavedText);
    }
  } else {
    view_.Reject(kInvalidText);
  }
  if (view_.TranslucentSelected()) model_.SetOn(kTranslucency, true);
  if (view_.OpaqueSelected()) model_.SetOn(kTranslucency, false);
}

}  // namespace settings
