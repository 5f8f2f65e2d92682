#pragma once
// The formats window "Formats": the line's format and the now-playing files with their
// texts, each with a preview filled with what plays now. At most one exists; it is created
// on demand and shown without an owner, like the settings window.

#include <windows.h>

#include <functional>
#include <string>

#include "main/formats_editor.h"
#include "main/now_playing_model.h"
#include "platform/win32/event_pump.h"
#include "settings/settings_model.h"
#include "ui/form.h"

namespace zurelo {

class FormatsWindow : public ui::Form, private FormatsView {
 public:
  FormatsWindow(settings::SettingsModel& model, platform::win32::Win32EventPump& pump,
                const NowPlaying& now_playing, std::function<std::wstring()> prefix);
  ~FormatsWindow() override { Unload(); }
  FormatsWindow(const FormatsWindow&) = delete;
  FormatsWindow& operator=(const FormatsWindow&) = delete;

  // Creates and loads the window when it is not open, then shows it and brings it up.
  void Open(HINSTANCE instance);
  void Unload();
  // What plays, or the prefix, changed: the previews follow.
  void Refresh();

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool Create(HINSTANCE instance);
  FormatsEditor Editor() { return FormatsEditor(*this, model_); }
  void Browse();

  // FormatsView
  std::wstring FieldText(FormatField field) override;
  void SetFieldText(FormatField field, const std::wstring& text) override;
  void ShowFiles(const std::vector<std::wstring>& paths, int selected) override;
  int SelectedFile() override;
  std::wstring FullPath(const std::wstring& path) override;
  bool IsFolder(const std::wstring& path) override;
  void SetStatus(const std::wstring& text) override;
  void Reject(const std::wstring& text, FormatField field) override;

  settings::SettingsModel& model_;
  const NowPlaying& now_playing_;
  std::function<std::wstring()> prefix_;
};

}  // namespace zurelo
