#include "main/formats_window.h"

#include "main/formats_ids.h"
#include "main/formats_layout.h"
#include "main/line_format.h"
#include "main/save_dialog.h"
#include "ui/controls.h"

namespace zurelo {
namespace {

constexpr wchar_t kCaption[] = L"Formats";
constexpr wchar_t kTitle[] = L"Zurelo";

int BoxOf(FormatField field) {
  switch (field) {
    case FormatField::kLine:
      return ids::kLineFormatBox;
    case FormatField::kPath:
      return ids::kFilePathBox;
    case FormatField::kPlaying:
      return ids::kPlayingBox;
    case FormatField::kPaused:
      return ids::kPausedBox;
    case FormatField::kStopped:
      return ids::kStoppedBox;
  }
  return ids::kLineFormatBox;
}

}  // namespace

FormatsWindow::FormatsWindow(settings::SettingsModel& model, platform::win32::Win32EventPump& pump,
                             const NowPlaying& now_playing, std::function<std::wstring()> prefix)
    : ui::Form(ids::kLineFormatBox, pump),
      model_(model),
      now_playing_(now_playing),
      prefix_(std::move(prefix)) {}

void FormatsWindow::Open(HINSTANCE instance) {
  if (BringUpAgain() || !Create(instance)) return;
  Editor().Load();
  Refresh();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(Item(ids::kLineFormatBox));
}

bool FormatsWindow::Create(HINSTANCE instance) {
  if (!CreateSideWindow(instance, kFormatsClass, kCaption,
                        {layout::kFormatsClientWidth, layout::kFormatsClientHeight},
                        layout::FormatsControls())) {
    return false;
  }
  for (const int box : {ids::kLineFormatBox, ids::kFilePathBox, ids::kPlayingBox, ids::kPausedBox,
                        ids::kStoppedBox}) {
    SendMessageW(Item(box), EM_SETLIMITTEXT, 0, 0);
  }
  OnClick(ids::kSaveLineButton, [this] { Editor().SaveLine(); });
  OnClick(ids::kBrowseButton, [this] { Browse(); });
  OnClick(ids::kAddFileButton, [this] { Editor().AddFile(); });
  OnClick(ids::kChangeFileButton, [this] { Editor().ChangeFile(); });
  OnClick(ids::kRemoveFileButton, [this] { Editor().RemoveFile(); });
  // Escape, which the dialog manager makes a Cancel, closes the window.
  OnClick(IDCANCEL, [this] { DestroyWindow(hwnd_); });
  JoinPump();
  return true;
}

void FormatsWindow::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void FormatsWindow::Refresh() {
  if (!hwnd_) return;
  const player::SongFacts facts = now_playing_.facts();
  std::wstring line = FieldText(FormatField::kLine);
  if (line.empty()) line = kDefaultLineFormat;
  const std::pair<int, int> previews[] = {{ids::kPlayingBox, ids::kPlayingPreview},
                                          {ids::kPausedBox, ids::kPausedPreview},
                                          {ids::kStoppedBox, ids::kStoppedPreview}};
  SetWindowTextW(Item(ids::kLinePreview),
                 (L"Now: " + FormatsEditor::Preview(line, facts, prefix_())).c_str());
  // Each file text is previewed in its own state, the song as it is now.
  const player::PlayerState states[] = {player::PlayerState::kPlaying, player::PlayerState::kPaused,
                                        player::PlayerState::kStopped};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& [box, preview] = previews[i];
    player::SongFacts in_state = facts;
    in_state.state = states[i];
    const std::wstring text = FormatsEditor::Preview(ui::TextOf(Item(box)), in_state);
    SetWindowTextW(Item(preview), (L"Now: " + text).c_str());
  }
}

void FormatsWindow::Browse() {
  const std::wstring typed = FieldText(FormatField::kPath);
  if (auto file = AskSaveFile(hwnd_, typed.empty() ? L"nowplaying.txt" : typed, true)) {
    SetFieldText(FormatField::kPath, *file);
  }
  SetFocus(Item(ids::kFilePathBox));
}

std::wstring FormatsWindow::FieldText(FormatField field) {
  return ui::TextOf(Item(BoxOf(field)));
}

void FormatsWindow::SetFieldText(FormatField field, const std::wstring& text) {
  SetWindowTextW(Item(BoxOf(field)), text.c_str());
}

void FormatsWindow::ShowFiles(const std::vector<std::wstring>& paths, int selected) {
  HWND list = Item(ids::kFileList);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& path : paths) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int FormatsWindow::SelectedFile() {
  return static_cast<int>(SendMessageW(Item(ids::kFileList), LB_GETCURSEL, 0, 0));
}

std::wstring FormatsWindow::FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (got == 0 || got >= size) return path;
  full.resize(got);
  return full;
}

bool FormatsWindow::IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void FormatsWindow::SetStatus(const std::wstring& text) {
  SetWindowTextW(Item(ids::kStatusLabel), text.c_str());
}

void FormatsWindow::Reject(const std::wstring& text, FormatField field) {
  SetStatus(L"");
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
  if (hwnd_) SetFocus(Item(BoxOf(field)));
}

LRESULT FormatsWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == ids::kFileList && HIWORD(wp) == LBN_SELCHANGE) {
        Editor().SelectFile();
        Refresh();
      } else if (HIWORD(wp) == EN_CHANGE) {
        Refresh();
      }
      return 0;
    default:
      return HandleSideWindow(msg, wp, lp);
  }
}

}  // namespace zurelo
