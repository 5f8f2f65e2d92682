#include "main/formats_editor.h"

#include <cwctype>

#include "main/file_formats.h"
#include "player/song_format.h"

namespace zurelo {
namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::vector<std::wstring> FormatsEditor::Files::Paths() const {
  std::vector<std::wstring> paths;
  if (main) paths.push_back(main->path + L"   (Now Playing File)");
  for (const FileFormat& f : others) paths.push_back(f.path);
  return paths;
}

FormatsEditor::Files FormatsEditor::Stored() const {
  Files files;
  const std::wstring main = model_.Get(settings::kNowPlayingFile);
  if (!main.empty()) {
    files.main = FileFormat{main, DecodeFileTexts(model_.Get(settings::kNowPlayingFileTexts))};
  }
  files.others = DecodeOtherFiles(model_.Get(settings::kOtherFiles));
  return files;
}

void FormatsEditor::Load() {
  view_.SetFieldText(FormatField::kLine, model_.Get(settings::kLineFormat));
  const Files files = Stored();
  ShowList(files.Paths().empty() ? -1 : 0);
  if (files.main) {
    Show(*files.main);
  } else if (!files.others.empty()) {
    Show(files.others.front());
  } else {
    Show(FileFormat{L"", FileTexts{}});
  }
  view_.SetStatus(L"");
}

void FormatsEditor::ShowList(int selected) {
  view_.ShowFiles(Stored().Paths(), selected);
}

void FormatsEditor::Show(const FileFormat& file) {
  view_.SetFieldText(FormatField::kPath, file.path);
  view_.SetFieldText(FormatField::kPlaying, file.texts.playing);
  view_.SetFieldText(FormatField::kPaused, file.texts.paused);
  view_.SetFieldText(FormatField::kStopped, file.texts.stopped);
}

void FormatsEditor::SaveLine() {
  const std::wstring format = view_.FieldText(FormatField::kLine);
  const std::wstring refusal = player::FormatRefusal(format);
  if (!refusal.empty()) {
    view_.Reject(L"The line's format is not saved. " + refusal, FormatField::kLine);
    return;
  }
  if (!model_.Set(settings::kLineFormat, format)) {
    view_.SetStatus(L"The line's format is used, but could not be stored.");
    return;
  }
  // Emptied, it is the default again, and the box says so.
  if (format.empty()) view_.SetFieldText(FormatField::kLine, model_.Get(settings::kLineFormat));
  view_.SetStatus(L"The line's format is saved.");
}

void FormatsEditor::SelectFile() {
  const Files files = Stored();
  const int selected = view_.SelectedFile();
  if (selected < 0) return;
  const std::size_t i = static_cast<std::size_t>(selected);
  if (files.main && i == 0) {
    Show(*files.main);
  } else if (const std::size_t other = i - (files.main ? 1 : 0); other < files.others.size()) {
    Show(files.others[other]);
  }
}

std::optional<FileFormat> FormatsEditor::Typed(const Files& files, int replacing) {
  const std::wstring typed = view_.FieldText(FormatField::kPath);
  if (typed.find_first_not_of(L' ') == std::wstring::npos) {
    view_.Reject(L"Type the file's name first, or pick it with Browse.", FormatField::kPath);
    return std::nullopt;
  }
  FileFormat file{view_.FullPath(typed),
                  {view_.FieldText(FormatField::kPlaying), view_.FieldText(FormatField::kPaused),
                   view_.FieldText(FormatField::kStopped)}};
  if (view_.IsFolder(file.path)) {
    view_.Reject(L"\"" + file.path +
                     L"\" is a folder, and Zurelo writes only files of its own. Type the "
                     L"name of a file, such as \"" +
                     file.path + L"\\nowplaying.txt\".",
                 FormatField::kPath);
    return std::nullopt;
  }
  const std::pair<const std::wstring*, FormatField> texts[] = {
      {&file.texts.playing, FormatField::kPlaying},
      {&file.texts.paused, FormatField::kPaused},
      {&file.texts.stopped, FormatField::kStopped}};
  const wchar_t* names[] = {L"while playing", L"while paused", L"while stopped"};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::wstring refusal = player::FormatRefusal(*texts[i].first);
    if (refusal.empty()) continue;
    view_.Reject(std::wstring(L"The text ") + names[i] + L" cannot be used. " + refusal,
                 texts[i].second);
    return std::nullopt;
  }
  std::vector<std::wstring> paths;
  if (files.main) paths.push_back(files.main->path);
  for (const FileFormat& f : files.others) paths.push_back(f.path);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (static_cast<int>(i) != replacing && SamePath(paths[i], file.path)) {
      view_.Reject(L"\"" + file.path +
                       L"\" is in the list already. Select it in the list to change its texts.",
                   FormatField::kPath);
      return std::nullopt;
    }
  }
  view_.SetFieldText(FormatField::kPath, file.path);
  return file;
}

void FormatsEditor::AddFile() {
  Files files = Stored();
  const std::optional<FileFormat> file = Typed(files, -1);
  if (!file) return;
  if (!files.main) {
    // The texts first: the file is written once, with them.
    model_.Set(settings::kNowPlayingFileTexts, EncodeFileTexts(file->texts));
    model_.Set(settings::kNowPlayingFile, file->path);
    ShowList(0);
  } else {
    files.others.push_back(*file);
    model_.Set(settings::kOtherFiles, EncodeOtherFiles(files.others));
    ShowList(static_cast<int>(files.others.size()));
  }
  view_.SetStatus(L"Added: " + file->path);
}

void FormatsEditor::ChangeFile() {
  Files files = Stored();
  const int selected = view_.SelectedFile();
  if (selected < 0 || static_cast<std::size_t>(selected) >= files.Paths().size()) {
    view_.Reject(L"Select the file to change in the list first.", FormatField::kPath);
    return;
  }
  const std::optional<FileFormat> file = Typed(files, selected);
  if (!file) return;
  if (files.main && selected == 0) {
    // Another path first: the file left behind keeps what it holds.
    if (file->path != files.main->path) model_.Set(settings::kNowPlayingFile, file->path);
    model_.Set(settings::kNowPlayingFileTexts, EncodeFileTexts(file->texts));
  } else {
    files.others[static_cast<std::size_t>(selected - (files.main ? 1 : 0))] = *file;
    model_.Set(settings::kOtherFiles, EncodeOtherFiles(files.others));
  }
  ShowList(selected);
  view_.SetStatus(L"Changed: " + file->path);
}

void FormatsEditor::RemoveFile() {
  Files files = Stored();
  const int selected = view_.SelectedFile();
  if (selected < 0 || static_cast<std::size_t>(selected) >= files.Paths().size()) {
    view_.Reject(L"Select the file to remove in the list first.", FormatField::kPath);
    return;
  }
  std::wstring path;
  if (files.main && selected == 0) {
    path = files.main->path;
    model_.Set(settings::kNowPlayingFile, L"");
  } else {
    const auto at = files.others.begin() + (selected - (files.main ? 1 : 0));
    path = at->path;
    files.others.erase(at);
    model_.Set(settings::kOtherFiles, EncodeOtherFiles(files.others));
  }
  ShowList(-1);
  view_.SetStatus(L"No longer written (left as it is): " + path);
}

std::wstring FormatsEditor::Preview(const std::wstring& format, const player::SongFacts& facts,
                                    const std::wstring& prefix) {
  if (const auto at = player::UnclosedPlaceholder(format)) {
    return L"(a placeholder is not closed: \"" + format.substr(*at) + L"\")";
  }
  if (format.empty()) return L"(nothing: the file is empty)";
  return player::FillFormat(format, facts, prefix);
}

}  // namespace zurelo
