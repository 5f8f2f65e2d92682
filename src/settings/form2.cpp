#include "settings/form2.h"

#include "main/control_ids.h"
#include "main/layout.h"

namespace settings {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr wchar_t kCaption[] = L"Settings";
constexpr wchar_t kTitle[] = L"Zurelo";

// The user's decimal separator, which the numeric test accepts besides the point.
wchar_t DecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1) return buffer[0];
  return L'.';
}

}  // namespace

void Form2::Open(HINSTANCE instance, HWND main_window) {
  main_window_ = main_window;
  if (!hwnd_) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &controls::WindowObject::Procedure;
      wc.hInstance = instance;
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = nullptr;  // painted in WM_ERASEBKGND with the grey brush
      wc.lpszClassName = kSettingsClass;
      registered = RegisterClassExW(&wc) != 0;
      if (!registered) return;
    }
    const int dpi = controls::ScreenDpi();
    if (!fonts_.arial_bold) fonts_ = controls::MakeFonts(dpi);
    if (!grey_) grey_.reset(CreateSolidBrush(controls::kGrey));
    if (!face_) face_.reset(CreateSolidBrush(controls::kButtonFace));
    if (!black_) black_.reset(CreateSolidBrush(RGB(0, 0, 0)));
    const SIZE size = controls::WindowSizeFor(layout::kSettingsClientWidth,
                                              layout::kSettingsClientHeight, dpi, kStyle, kExStyle);
    // No owner: a top-level window of its own, placed by the window system.
    HWND w = CreateWindowExW(kExStyle, kSettingsClass, kCaption, kStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, this);
    if (!w) return;
    controls::CreateAll(hwnd_, layout::SettingsControls(), dpi, fonts_);
    SendMessageW(Item(ids::kSetText1), EM_SETLIMITTEXT, 0, 0);
    // "Off" is selected when the window is created.
    SendMessageW(Item(ids::kSetOption2), BM_SETCHECK, BST_CHECKED, 0);
    pump_.AddDialogWindow(hwnd_);
    SettingsForm(*this, store_, app_, windows_, reinterpret_cast<platform::Handle>(main_window_),
                 DecimalSeparator())
        .Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetFocus(Item(ids::kSetCommand7));
    return;
  }
  // Already open: bring it up again without loading it anew.
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void Form2::Unload() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY forgets the handle
}

std::wstring Form2::PauseText() {
  return controls::TextOf(Item(ids::kSetText1));
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
  if (controls::KeepFocus(hwnd_, msg, wp, saved_focus_, ids::kSetCommand7)) return 0;
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == ids::kSetCommand7 && HIWORD(wp) == BN_CLICKED) {
        SettingsForm(*this, store_, app_, windows_,
                     reinterpret_cast<platform::Handle>(main_window_), DecimalSeparator())
            .Save();
      }
      return 0;
    case DM_GETDEFID: {
      // No default button: Enter clicks only a focused push button, as on the main window.
      HWND focus = GetFocus();
      const LRESULT code =
          focus && IsChild(hwnd_, focus) ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
      if ((code & DLGC_BUTTON) && !(code & DLGC_RADIOBUTTON)) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      }
      return 0;
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, grey_.get());
      return 1;
    }
    case WM_CTLCOLOREDIT:
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(black_.get());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return controls::GreyControlColors(wp, grey_.get());
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlType == ODT_BUTTON) controls::DrawGraphicButton(d, face_.get());
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_NCDESTROY: {
      HWND gone = hwnd_;
      pump_.RemoveDialogWindow(gone);
      SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      saved_focus_ = nullptr;
      return DefWindowProcW(gone, msg, wp, lp);
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace settings
