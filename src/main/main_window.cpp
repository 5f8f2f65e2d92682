#include "main/main_window.h"

#include <algorithm>
#include <cmath>

#include "main/control_ids.h"
#include "main/file_formats.h"
#include "main/main_layout.h"
#include "settings/translucency.h"
#include "ui/controls.h"

namespace zurelo {
namespace {

constexpr UINT kLogTimerMs = 1000, kAnnounceTimerMs = 10, kRefreshTimerMs = 10;
constexpr UINT kFileRetryTimerMs = 2000;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kCaption[] = L"Zurelo 1.0";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr COLORREF kPrefixGreen = RGB(0, 255, 0);

}  // namespace

MainWindow::MainWindow(const Services& services)
    : ui::Form(ids::kLogToggleButton, services.pump),
      s_(services),
      now_playing_(s_.windows, *this, s_.clock),
      chat_(s_.windows),
      announcer_(*this, chat_, now_playing_, s_.clock),
      log_(*this, list_, now_playing_, s_.windows),
      reloader_(s_.launcher, s_.claim),
      settings_window_(s_.settings, s_.pump),
      formats_window_(s_.settings, s_.pump, now_playing_, [this] { return Prefix(); }),
      now_playing_files_(s_.files, *this) {
  BindCommands();
  s_.settings.Listen([this](const settings::Setting& setting, const std::wstring& value) {
    OnSettingChanged(setting, value);
  });
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
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
  come_forward_message_ = platform::win32::ComeForwardMessage();
  s_.claim.Publish(hwnd_);
  return true;
}

void MainWindow::Load() {
  pause_seconds_ = s_.settings.Get(settings::kPauseSeconds);
  AddMenuChoices();
  // The system menu's choices start as stored, just as a change made now takes effect.
  for (const settings::Setting* choice :
       {&settings::kAnnounceOnce, &settings::kNowPlayingFileTexts, &settings::kNowPlayingFile,
        &settings::kOtherFiles, &settings::kLineFormat}) {
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
    now_playing_files_.FollowMain(value);
    TickMenuChoice(ids::kNowPlayingFileCommand, !now_playing_files_.main().path().empty());
  } else if (&setting == &settings::kNowPlayingFileTexts) {
    now_playing_files_.SetMainTexts(DecodeFileTexts(value));
  } else if (&setting == &settings::kLineFormat) {
    announcer_.SetLineFormat(value);
  } else if (&setting == &settings::kOtherFiles) {
    now_playing_files_.SetOthers(DecodeOtherFiles(value));
  } else if (&setting == &settings::kTranslucency && hwnd_) {
    settings::ApplyChosenTranslucency(value, s_.windows, reinterpret_cast<platform::Handle>(hwnd_));
  }
}

void MainWindow::Unload() {
  settings_window_.Unload();
  formats_window_.Unload();
  // Ends at once, also when a handler is suspended in a wait: none of them resumes.
  ExitProcess(0);
}

void MainWindow::GoQuiet() {
  quiet_ = true;
  announcer_.Stop();
  now_playing_files_.StopAll();  // the files stay as they are
  for (const UINT_PTR timer :
       {kLogTimer, kAnnounceTimer, kRefreshTimer, kPauseTimer, kFileRetryTimer}) {
    KillTimer(hwnd_, timer);
  }
}

void MainWindow::ComeForward() {
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  // A box or the settings window in front of it comes along.
  SetForegroundWindow(GetLastActivePopup(hwnd_));
}

void MainWindow::ShowSong(const std::wstring& song) {
  label_.ShowSong(song);
  announcer_.Wake();
}

void MainWindow::ShowFacts(const player::SongFacts& facts) {
  // Paused, stopped or gone, the song stays on the label; the files show their own texts.
  now_playing_files_.Show(facts);
  formats_window_.Refresh();
}

void MainWindow::OnTimer(UINT_PTR id) {
  // A tick already queued, or a timer started since by a click, does nothing once quiet.
  if (quiet_ && id != kReloadTimer) return;
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
      now_playing_files_.Retry();
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
  return Option(client.option_id).IsChecked();
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
  // Two files failing at once are told in one box.
  if (!file_failure_.empty()) file_failure_ += L"\n\n";
  file_failure_ += text;
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
  if (msg == come_forward_message_ && msg != 0) {
    if (!quiet_) ComeForward();
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      // The clicks went to their handlers; the formats window previews the prefix as typed.
      if (LOWORD(wp) == ids::kPrefixBox && HIWORD(wp) == EN_CHANGE) formats_window_.Refresh();
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case kFileFailureMessage:
      ShowFileFailure();
      return 0;
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
  return HandleShared(msg, wp, lp);
}

}  // namespace zurelo
