// The main window's commands, bound by ID beside the controls they belong to: the buttons,
// the chat clients' option buttons and the system menu's choices.

#include "main/control_ids.h"
#include "main/main_window.h"
#include "main/reload.h"
#include "main/save_dialog.h"
#include "settings/settings_model.h"

namespace zurelo {

void MainWindow::BindCommands() {
  OnClick(ids::kLogToggleButton, [this] { log_.Toggle(); });
  OnClick(ids::kSaveLogButton, [this] { SaveLog(); });
  OnClick(ids::kClearLogButton, [this] { log_.ClearLog(); });
  OnClick(ids::kOnButton, [this] { announcer_.On(pause_seconds_); });
  OnClick(ids::kOffButton, [this] { announcer_.Off(); });
  OnClick(ids::kReloadButton, [this] {
    // Quiet before the new copy starts, which may announce at once; it gets a moment
    // before this one ends.
    GoQuiet();
    if (reloader_.Reload()) SetTimer(hwnd_, kReloadTimer, kReloadWaitMs, nullptr);
  });
  OnClick(ids::kSettingsButton, [this] { settings_window_.Open(instance_); });
  // Another client chosen: one that has not had this song yet may be due a line.
  for (const ChatClient& client : kChatClients) {
    OnClick(client.option_id, [this] { announcer_.Wake(); });
  }
  OnSystemCommand(ids::kAnnounceOnceCommand, [this] {
    // From the choice in effect, which holds even when the store could not keep it.
    s_.settings.SetOn(settings::kAnnounceOnce, !announcer_.once());
  });
  OnSystemCommand(ids::kNowPlayingFileCommand, [this] { ChooseNowPlayingFile(); });
  OnSystemCommand(ids::kFormatsCommand, [this] { formats_window_.Open(instance_); });
}

void MainWindow::SaveLog() {
  const std::optional<std::wstring> file = AskSaveFile(hwnd_, last_log_file_);
  if (!file) return;  // cancelled: nothing is written
  last_log_file_ = *file;
  if (auto error = log_.Save(*file, s_.files, s_.codec)) {
    MessageBoxW(hwnd_, error->c_str(), L"", MB_OK);
  }
}

void MainWindow::AddMenuChoices() {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ids::kAnnounceOnceCommand, L"Announce Each Song &Once");
  AppendMenuW(menu, MF_STRING, ids::kNowPlayingFileCommand, L"Now Playing &File...");
  AppendMenuW(menu, MF_STRING, ids::kFormatsCommand, L"Fo&rmats...");
}

void MainWindow::TickMenuChoice(UINT command, bool ticked) {
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    CheckMenuItem(menu, command, MF_BYCOMMAND | (ticked ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainWindow::ChooseNowPlayingFile() {
  if (!now_playing_files_.main().path().empty()) {
    s_.settings.Set(settings::kNowPlayingFile, L"");  // stops; the file stays as it is
  } else if (auto file = AskSaveFile(hwnd_, L"nowplaying.txt", true)) {
    s_.settings.Set(settings::kNowPlayingFile, *file);
  }
}

}  // namespace zurelo
