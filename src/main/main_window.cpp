#include "main/main_window.h"

#include <commdlg.h>

#include "main/control_ids.h"
#include "main/main_layout.h"
#include "settings/settings.h"
#include "ui/controls.h"

namespace zurelo {
namespace {

constexpr UINT_PTR kLogTimer = 1;       // song log poll, 1000 ms
constexpr UINT_PTR kAnnounceTimer = 2;  // announcer cycle, 10 ms
constexpr UINT_PTR kRefreshTimer = 3;   // now-playing refresh, 10 ms
constexpr UINT kLogTimerMs = 1000, kAnnounceTimerMs = 10, kRefreshTimerMs = 10;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kCaption[] = L"Zurelo 1.0";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr COLORREF kPrefixGreen = RGB(0, 255, 0);

}  // namespace

MainWindow::MainWindow(const Services& services)
    : ui::Form(ids::kLogToggleButton, services.pump),
      s_(services),
      now_playing_(s_.windows, label_),
      chat_(s_.windows, s_.pump),
      announcer_(*this, chat_, now_playing_, s_.clock, s_.pump),
      log_(*this, list_, now_playing_, s_.windows),
      reloader_(s_.launcher, s_.clock, s_.pump),
      settings_window_(s_.settings, s_.pump) {
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
  settings::ApplyStoredTranslucency(s_.settings.Get(settings::kTranslucency), s_.windows,
                                    reinterpret_cast<platform::Handle>(hwnd_));
}

void MainWindow::OnSettingChanged(const settings::Setting& setting, const std::wstring& value) {
  if (&setting == &settings::kTranslucency && hwnd_) {
    settings::ApplyChosenTranslucency(value, s_.windows, reinterpret_cast<platform::Handle>(hwnd_));
  }
}

void MainWindow::Unload() {
  settings_window_.Unload();
  // Ends at once, also when a handler is suspended in a wait: none of them resumes.
  ExitProcess(0);
}

void MainWindow::SaveLog() {
  // The buffer holds the longest path the dialog can return.
  std::wstring file(32768, L'\0');
  file.replace(0, std::min(last_log_file_.size(), file.size() - 1), last_log_file_);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = L"Text File (*.txt)\0*.txt\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = L"txt";
  // The current directory stays as it was: Reload finds the program by its bare name.
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
      MessageBoxW(hwnd_, (std::to_wstring(error) + L" The save dialog could not be shown.").c_str(),
                  L"", MB_OK);
    }
    return;  // cancelled: nothing is written
  }
  file.resize(wcsnlen(file.c_str(), file.size()));
  last_log_file_ = file;
  if (auto error = log_.Save(file, s_.files, s_.codec)) {
    MessageBoxW(hwnd_, error->c_str(), L"", MB_OK);
  }
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
      reloader_.Reload([this] { Unload(); });
      break;
    case ids::kSettingsButton:
      settings_window_.Open(instance_);
      break;
    default:
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

void MainWindow::Inform(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
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

// --- window procedure

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
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
  return HandleShared(msg, wp, lp, *theme_);
}

}  // namespace zurelo
