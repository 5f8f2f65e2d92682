#include "settings/form2.h"

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

Form2::Form2(platform::SettingsStore& store, const std::wstring& app,
             platform::WindowSystem& windows, platform::win32::Win32EventPump& pump)
    : ui::Form(ids::kSetCommand7), store_(store), app_(app), windows_(windows), pump_(pump) {}

void Form2::Open(HINSTANCE instance, HWND main_window) {
  main_window_ = main_window;
  if (!hwnd_) {
    if (!Create(instance)) return;
    Editor().Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetFocus(Item(ids::kSetCommand7));
    return;
  }
  // Already open: bring it up again without loading it anew.
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

bool Form2::Create(HINSTANCE instance) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &ui::WindowObject::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // painted in WM_ERASEBKGND with the grey brush
    wc.lpszClassName = kSettingsClass;
    registered = RegisterClassExW(&wc) != 0;
    if (!registered) return false;
  }
  const int dpi = ui::ScreenDpi();
  if (!theme_) theme_.emplace(dpi);
  const SIZE size = ui::WindowSizeFor(layout::kSettingsClientWidth, layout::kSettingsClientHeight,
                                      dpi, kStyle, kExStyle);
  // No owner: a top-level window of its own, placed by the window system.
  if (!CreateWindowExW(kExStyle, kSettingsClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       size.cx, size.cy, nullptr, nullptr, instance, this)) {
    return false;
  }
  ui::CreateAll(hwnd_, layout::SettingsControls(), dpi, theme_->fonts);
  SendMessageW(Item(ids::kSetText1), EM_SETLIMITTEXT, 0, 0);
  // "Off" is selected when the window is created.
  SendMessageW(Item(ids::kSetOption2), BM_SETCHECK, BST_CHECKED, 0);
  pump_.AddDialogWindow(hwnd_);
  return true;
}

SettingsEditor Form2::Editor() {
  return SettingsEditor(*this, store_, app_, windows_,
                        reinterpret_cast<platform::Handle>(main_window_), DecimalSeparator());
}

void Form2::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY forgets the handle
}

std::wstring Form2::PauseText() {
  return ui::TextOf(Item(ids::kSetText1));
}
void Form2::SetPauseText(const std::wstring& text) {
  SetWindowTextW(Item(ids::kSetText1), text.c_str());
}
bool Form2::TranslucentSelected() {
  return SendMessageW(Item(ids::kSetOption1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool Form2::OpaqueSelected() {
  return SendMessageW(Item(ids::kSetOption2), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Form2::SelectTranslucent(bool on) {
  SendMessageW(Item(on ? ids::kSetOption2 : ids::kSetOption1), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(Item(on ? ids::kSetOption1 : ids::kSetOption2), BM_SETCHECK, BST_CHECKED, 0);
}
void Form2::Inform(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}
void Form2::Reject(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

LRESULT Form2::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == ids::kSetCommand7 && HIWORD(wp) == BN_CLICKED) Editor().Save();
      return 0;
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
    case WM_NCDESTROY: {
      HWND gone = hwnd_;
      pump_.RemoveDialogWindow(gone);
      Detach();
      ForgetFocus();
      return DefWindowProcW(gone, msg, wp, lp);
    }
    default:
      return HandleShared(msg, wp, lp, *theme_);
  }
}

}  // namespace settings
