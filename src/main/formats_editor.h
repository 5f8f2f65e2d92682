#pragma once
// The formats window's behaviour: the line's format, and the now-playing files with their
// texts (the system menu's file first), shown as stored when it loads; each button checks
// what was typed and stores it, or says why not and leaves every box as it was typed.

#include <optional>
#include <string>
#include <vector>

#include "main/now_playing_file.h"
#include "player/song_facts.h"
#include "settings/settings_model.h"

namespace zurelo {

enum class FormatField { kLine, kPath, kPlaying, kPaused, kStopped };

class FormatsView {
 public:
  virtual ~FormatsView() = default;
  virtual std::wstring FieldText(FormatField field) = 0;
  virtual void SetFieldText(FormatField field, const std::wstring& text) = 0;
  // The files' paths in the list, and the one selected (none: -1).
  virtual void ShowFiles(const std::vector<std::wstring>& paths, int selected) = 0;
  virtual int SelectedFile() = 0;
  // The path made full (from the current folder), and whether a folder has that name.
  virtual std::wstring FullPath(const std::wstring& path) = 0;
  virtual bool IsFolder(const std::wstring& path) = 0;
  // What a button did, in the window's status line.
  virtual void SetStatus(const std::wstring& text) = 0;
  // Why what was typed cannot be stored, in a box; the field gets the focus after it.
  virtual void Reject(const std::wstring& text, FormatField field) = 0;
};

class FormatsEditor {
 public:
  FormatsEditor(FormatsView& view, settings::SettingsModel& model) : view_(view), model_(model) {}

  void Load();
  void SaveLine();
  // The selected file's path and texts into the boxes.
  void SelectFile();
  // The boxes as a new file: the system menu's when it has none, another one otherwise.
  void AddFile();
  // The selected file becomes what the boxes hold.
  void ChangeFile();
  // The selected file is no longer written; it is left as it is.
  void RemoveFile();

  // A format filled with what plays now, or why it cannot be used.
  static std::wstring Preview(const std::wstring& format, const player::SongFacts& facts,
                              const std::wstring& prefix = {});

 private:
  struct Files {
    std::optional<FileFormat> main;  // the system menu's
    std::vector<FileFormat> others;
    std::vector<std::wstring> Paths() const;
  };
  Files Stored() const;
  // The boxes as a file, or nothing when they were refused (and the user told why).
  std::optional<FileFormat> Typed(const Files& files, int replacing);
  void Show(const FileFormat& file);
  void ShowList(int selected);

  FormatsView& view_;
  settings::SettingsModel& model_;
};

}  // namespace zurelo
