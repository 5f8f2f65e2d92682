#include "main/main_window.h"

#include <algorithm>
#include <cmath>

#include "main/control_ids.h"
#include "main/main_layout.h"
#include "main/save_dialog.h"
#include "settings/translucency.h"
#include "ui/controls.h"

namespace zurelo {
namespace {

constexpr UINT_PTR kLogTimer = 1;       // song log poll, 1000 ms
constexpr UINT_PTR kAnnounceTimer = 2;  // announcer cycle, 10 ms
constexpr UINT_PTR kRefreshTimer = 3;   // now-playing refresh, 10 ms
constexpr UINT_PTR kPauseTimer = 4;     // the end of the announcer's pause, one-shot
constexpr UINT_PTR kReloadTimer = 5;    // the end of this copy after Reload, one-shot
constexpr UINT kLogTimerMs = 1000, kAnnounceTimerMs = 10, kRefreshTimerMs = 10;
// The now-playing file is tried again on this timer while it cannot be written, and its
// failure is shown from this posted message, outside whatever was writing it.
constexpr UINT_PTR kFileRetryTimer = 6;
constexpr UINT kFileRetryTimerMs = 2000;
constexpr UINT kFileFailureMessage = WM_APP + 0x120;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kCaption[] = L"Zurelo 1.0";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr COLORREF kPrefixGreen = RGB(0, 255, 0);

}  // namespace

MainWindow::MainWindow(const Services& services)
    : ui::Form(ids::kLogToggleButton, services.pump),
      s_(services),
      now_playing_(s_.windows, *this),
      chat_(s_.windows),
      announcer_(*this, chat_, now_playing_, s_.clock),
      log_(*this, list_, now_playing_, s_.windows),
      reloader_(s_.launcher),
      settings_window_(s_.settings, s_.pump),
      now_playing_file_(s_.files, *this) {
  s_.settings.Listen([this](const settings::Setting& setting, const std::wstring& value) {
    OnSettingChanged(setting, value);
  });
}

MainWindow::~MainWindow() {
  if (!hwnd_) return;
  HWND w = hwnd_;
  LeaveWindow();
  DestroyWindow(w);
}

bool MainWindow::Create(HINSTANCE instance, int show) {
  instance_ = instance;
  const int dpi = ui::ScreenDpi();
  theme_.emplace(dpi);

  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = theme_->grey.get();
  wc.lpszClassName = kMainClass;
  if (!RegisterWindowClass(wc)) return false;

  const SIZE size =
      ui::WindowSizeFor(layout::kMainClientWidth, layout::kMainClientHeight, dpi, kStyle, 0);
  if (!CreateTopLevel(instance, kMainClass, kCaption, kStyle, 0, size)) return false;
  ui::CreateAll(hwnd_, layout::MainControls(), dpi, theme_->fonts);
  SendMessageW(Item(ids::kPrefixBox), EM_SETLIMITTEXT, 0, 0);  // no limit on the prefix
  label_.Attach(hwnd_, Item(ids::kSongLabel), dpi);
  list_.Attach(Item(ids::kSongList));

  JoinPump();
  Load();
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  SetFocus(Item(ids::kLogToggleButton));
  SetTimer(hwnd_, kRefreshTimer, kRefreshTimerMs, nullptr);
  return true;
}

void MainWindow::Load() {
  pause_seconds_ = s_.settings.Get(settings::kPauseSeconds);
  AddMenuChoices();
  // The system menu's choices start as stored, just as a change made now takes effect.
  for (const settings::Setting* choice : {&settings::kAnnounceOnce, &settings::kNowPlayingFile}) {
    OnSettingChanged(*choice, s_.settings.Get(*choice));
  }
  settings::ApplyStoredTranslucency(s_.settings.Get(settings::kTranslucency), s_.windows,
                                    reinterpret_cast<platform::Handle>(hwnd_));
}

void MainWindow::OnSettingChanged(const settings::Setting& setting, const std::wstring& value) {
  if (&setting == &settings::kAnnounceOnce) {
    announcer_.SetOnce(value == settings::kOn);
    TickMenuChoice(ids::kAnnounceOnceCommand, value == settings::kOn);
  } else if (&setting == &settings::kNowPlayingFile) {
    now_playing_file_.Follow(value);
    TickMenuChoice(ids::kNowPlayingFileCommand, !now_playing_file_.path().empty());
  } else if (&setting == &settings::kTranslucency && hwnd_) {
    settings::ApplyChosenTranslucency(value, s_.windows, reinterpret_cast<platform::Handle>(hwnd_));
  }
}

void MainWindow::Unload() {
  settings_window_.Unload();
  // Ends at once, also when a handler is suspended in a wait: none of them resumes.
  ExitProcess(0);
}

void MainWindow::SaveLog() {
  const std::optional<std::wstring> file = AskSaveFile(hwnd_, last_log_file_);
  if (!file) return;  // cancelled: nothing is written
  last_log_file_ = *file;
  if (auto error = log_.Save(*file, s_.files, s_.codec)) {
    MessageBoxW(hwnd_, error->c_str(), L"", MB_OK);
  }
}

// --- The system menu's choices

void MainWindow::AddMenuChoices() {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ids::kAnnounceOnceCommand, L"Announce Each Song &Once");
  AppendMenuW(menu, MF_STRING, ids::kNowPlayingFileCommand, L"Now Playing &File...");
}

void MainWindow::TickMenuChoice(UINT command, bool ticked) {
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
    CheckMenuItem(menu, command, MF_BYCOMMAND | (ticked ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainWindow::OnMenuChoice(UINT command) {
  if (command == ids::kAnnounceOnceCommand) {
    // From the choice in effect, which holds even when the store could not keep it.
    s_.settings.SetOn(settings::kAnnounceOnce, !announcer_.once());
  } else if (!now_playing_file_.path().empty()) {
    s_.settings.Set(settings::kNowPlayingFile, L"");  // stops; the file stays as it is
  } else if (auto file = AskSaveFile(hwnd_, L"nowplaying.txt", true)) {
    s_.settings.Set(settings::kNowPlayingFile, *file);
  }
}

void MainWindow::ShowSong(const std::wstring& song) {
  label_.ShowSong(song);
  announcer_.Wake();
  now_playing_file_.Show(song, now_playing_.playing());
}

void MainWindow::ShowState(player::PlayerState) {
  // Paused, stopped or gone, the song stays on the label, but the file is emptied.
  now_playing_file_.Show(now_playing_.song(), now_playing_.playing());
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case ids::kLogToggleButton:
      log_.Toggle();
      break;
    case ids::kSaveLogButton:
      SaveLog();
      break;
    case ids::kClearLogButton:
      log_.ClearLog();
      break;
    case ids::kOnButton:
      announcer_.On(pause_seconds_);
      break;
    case ids::kOffButton:
      announcer_.Off();
      break;
    case ids::kReloadButton:
      // The new copy gets a moment before this one ends.
      if (reloader_.Reload()) SetTimer(hwnd_, kReloadTimer, kReloadWaitMs, nullptr);
      break;
    case ids::kSettingsButton:
      settings_window_.Open(instance_);
      break;
    default:
      // Another client chosen: one that has not had this song yet may be due a line.
      for (const ChatClient& client : kChatClients) {
        if (client.option_id == id) announcer_.Wake();
      }
      break;
  }
}

void MainWindow::OnTimer(UINT_PTR id) {
  switch (id) {
    case kLogTimer:
      log_.Poll();
      break;
    case kAnnounceTimer:
      announcer_.Tick();
      break;
    case kRefreshTimer:
      now_playing_.Refresh();
      break;
    case kFileRetryTimer:
      now_playing_file_.Retry();
      break;
    case kPauseTimer:
      KillTimer(hwnd_, kPauseTimer);
      announcer_.PauseEnded();
      break;
    case kReloadTimer:
      Unload();
    default:
      break;
  }
}

// --- AnnouncerView

bool MainWindow::IsSelected(const ChatClient& client) {
  return SendMessageW(Item(client.option_id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring MainWindow::Prefix() {
  return ui::TextOf(Item(ids::kPrefixBox));
}

void MainWindow::SetAnnounceTimer(bool enabled) {
  if (enabled) {
    SetTimer(hwnd_, kAnnounceTimer, kAnnounceTimerMs, nullptr);
  } else {
    KillTimer(hwnd_, kAnnounceTimer);
  }
}

void MainWindow::SetPauseTimer(double seconds) {
  // Whole milliseconds, rounded up, so the timer does not come just before the end.
  const auto ms = static_cast<UINT>(std::ceil(seconds * 1000.0));
  SetTimer(hwnd_, kPauseTimer, std::max<UINT>(ms, USER_TIMER_MINIMUM), nullptr);
}

void MainWindow::Inform(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

void MainWindow::Refuse(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

// --- SongLogView

std::wstring MainWindow::ToggleCaption() {
  return ui::TextOf(Item(ids::kLogToggleButton));
}
void MainWindow::SetToggleCaption(const std::wstring& caption) {
  SetWindowTextW(Item(ids::kLogToggleButton), caption.c_str());
}
void MainWindow::SetLogTimer(bool enabled) {
  if (enabled) {
    SetTimer(hwnd_, kLogTimer, kLogTimerMs, nullptr);
  } else {
    KillTimer(hwnd_, kLogTimer);
  }
}

// --- NowPlayingFileView

void MainWindow::SetFileRetryTimer(bool enabled) {
  if (enabled) {
    SetTimer(hwnd_, kFileRetryTimer, kFileRetryTimerMs, nullptr);
  } else {
    KillTimer(hwnd_, kFileRetryTimer);
  }
}

void MainWindow::TellFileFailure(const std::wstring& text) {
  file_failure_ = text;
  PostMessageW(hwnd_, kFileFailureMessage, 0, 0);
}

void MainWindow::ShowFileFailure() {
  // One box at a time: a failure told while it is up counts as told by it. The box's own
  // loop runs the timers: the retries and the refresh go on under it.
  if (file_box_up_ || file_failure_.empty()) return;
  const std::wstring text = std::move(file_failure_);
  file_failure_.clear();
  file_box_up_ = true;
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
  file_box_up_ = false;
}

// --- window procedure

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case kFileFailureMessage:
      ShowFileFailure();
      return 0;
    case WM_SYSCOMMAND: {
      // The low four bits are the system's own.
      const UINT command = static_cast<UINT>(wp & 0xFFF0);
      if (command == ids::kAnnounceOnceCommand || command == ids::kNowPlayingFileCommand) {
        OnMenuChoice(command);
        return 0;
      }
      break;
    }
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lp) == Item(ids::kPrefixBox)) {
        return ui::BlackEditColors(wp, kPrefixGreen, *theme_);
      }
      break;
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlType == ODT_STATIC) {
        label_.Draw(d, theme_->fonts.For(layout::Font::kArialBold));
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      Unload();  // does not return
    case WM_ENDSESSION:
      // Only a session that really ends takes the program (and its unsaved log) with it;
      // another program may cancel a shutdown after asking.
      if (wp) Unload();
      return 0;
    default:
      break;
  }
  return HandleShared(msg, wp, lp, *theme_);
}

}  // namespace zurelo
