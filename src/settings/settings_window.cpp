#include "settings/settings_window.h"

#include "settings/settings_ids.h"
#include "settings/settings_layout.h"
#include "ui/controls.h"

namespace settings {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr wchar_t kCaption[] = L"Settings";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The user's decimal separator, which the numeric test accepts besides the point.
wchar_t DecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1) return buffer[0];
  return L'.';
}

}  // namespace

SettingsWindow::SettingsWindow(SettingsModel& model, platform::win32::Win32EventPump& pump)
    : ui::Form(ids::kSaveSettingsButton, pump), model_(model) {}

void SettingsWindow::Open(HINSTANCE instance) {
  if (!hwnd_) {
    if (!Create(instance)) return;
    Editor().Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetFocus(Item(ids::kSaveSettingsButton));
    return;
  }
  // Already open: bring it up again without loading it anew.
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

bool SettingsWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // painted in WM_ERASEBKGND with the grey brush
  wc.lpszClassName = kSettingsClass;
  if (!RegisterWindowClass(wc)) return false;
  const int dpi = ui::ScreenDpi();
  if (!theme_) theme_.emplace(dpi);
  const SIZE size = ui::WindowSizeFor(layout::kSettingsClientWidth, layout::kSettingsClientHeight,
                                      dpi, kStyle, kExStyle);
  // No owner: a top-level window of its own, placed by the window system.
  if (!CreateTopLevel(instance, kSettingsClass, kCaption, kStyle, kExStyle, size)) return false;
  ui::CreateAll(hwnd_, layout::SettingsControls(), dpi, theme_->fonts);
  SendMessageW(Item(ids::kPauseBox), EM_SETLIMITTEXT, 0, 0);
  // "Off" is selected when the window is created.
  Option(ids::kOpaqueOption).SetChecked(true);
  OnClick(ids::kSaveSettingsButton, [this] { Editor().Save(); });
  JoinPump();
  return true;
}

SettingsEditor SettingsWindow::Editor() {
  return SettingsEditor(*this, model_, DecimalSeparator());
}

void SettingsWindow::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);  // the window base forgets the handle as it goes
}

std::wstring SettingsWindow::PauseText() {
  return ui::TextOf(Item(ids::kPauseBox));
}
void SettingsWindow::SetPauseText(const std::wstring& text) {
  SetWindowTextW(Item(ids::kPauseBox), text.c_str());
}
bool SettingsWindow::TranslucentSelected() {
  return Option(ids::kTranslucentOption).IsChecked();
}
bool SettingsWindow::OpaqueSelected() {
  return Option(ids::kOpaqueOption).IsChecked();
}
void SettingsWindow::SelectTranslucent(bool on) {
  Option(on ? ids::kOpaqueOption : ids::kTranslucentOption).SetChecked(false);
  Option(on ? ids::kTranslucentOption : ids::kOpaqueOption).SetChecked(true);
}
void SettingsWindow::Inform(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}
void SettingsWindow::Reject(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

LRESULT SettingsWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, theme_->grey.get());
      return 1;
    }
    case WM_CTLCOLOREDIT:
      return ui::BlackEditColors(wp, kWhite, *theme_);
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    default:
      return HandleShared(msg, wp, lp, *theme_);
  }
}

}  // namespace settings
