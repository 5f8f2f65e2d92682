#include "settings/settings_window.h"

#include "settings/settings_ids.h"
#include "settings/settings_layout.h"
#include "ui/controls.h"

namespace settings {
namespace {

constexpr wchar_t kCaption[] = L"Settings";
constexpr wchar_t kTitle[] = L"Zurelo";

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
  // Already open: brought up again without loading it anew.
  if (BringUpAgain() || !Create(instance)) return;
  Editor().Load();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(Item(ids::kSaveSettingsButton));
}

bool SettingsWindow::Create(HINSTANCE instance) {
  if (!CreateSideWindow(instance, kSettingsClass, kCaption,
                        {layout::kSettingsClientWidth, layout::kSettingsClientHeight},
                        layout::SettingsControls())) {
    return false;
  }
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
  return HandleSideWindow(msg, wp, lp);
}

}  // namespace settings
