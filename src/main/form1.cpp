#include "main/form1.h"

#include <commctrl.h>
#include <commdlg.h>

#include "main/control_ids.h"
#include "main/layout.h"
#include "player/now_playing.h"
#include "settings/settings.h"

namespace zurelo {
namespace {

constexpr UINT_PTR kTimer1 = 1;  // song log poll, 1000 ms
constexpr UINT_PTR kTimer2 = 2;  // announcer cycle, 10 ms
constexpr UINT_PTR kTimer3 = 3;  // now-playing refresh, 10 ms
constexpr UINT kTimer1Ms = 1000, kTimer2Ms = 10, kTimer3Ms = 10;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kCaption[] = L"Zurelo 1.0";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr wchar_t kReloadFile[] = L"Zurelo.exe";

}  // namespace

Form1::Form1(Platform& platform)
    : p_(platform),
      chat_(platform.windows, platform.pump),
      announcer_(*this, chat_, platform.clock, platform.pump, PauseVAL),
      log_(*this, platform.windows),
      form2_(platform.store, platform.app_name, platform.windows, platform.pump) {}

Form1::~Form1() {
  if (hwnd_) {
    p_.pump.RemoveDialogWindow(hwnd_);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Form1::Create(HINSTANCE instance, int show) {
  instance_ = instance;
  dpi_ = controls::ScreenDpi();
  fonts_ = controls::MakeFonts(dpi_);
  grey_.reset(CreateSolidBrush(controls::kGrey));
  face_.reset(CreateSolidBrush(controls::kButtonFace));
  black_.reset(CreateSolidBrush(RGB(0, 0, 0)));
  window_.reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &controls::WindowObject::Procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = grey_.get();
  wc.lpszClassName = kMainClass;
  if (!RegisterClassExW(&wc)) return false;

  const SIZE size =
      controls::WindowSizeFor(layout::kMainClientWidth, layout::kMainClientHeight, dpi_, kStyle, 0);
  hwnd_ = CreateWindowExW(0, kMainClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                          size.cy, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  controls::CreateAll(hwnd_, layout::MainControls(), dpi_, fonts_);
  SendMessageW(Item(ids::kText1), EM_SETLIMITTEXT, 0, 0);  // no limit on the prefix

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
  if (tooltip_) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(Item(ids::kLabel1));
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    // Long titles wrap at this width instead of running off the screen.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(600, dpi_, 96));
  }

  p_.pump.AddDialogWindow(hwnd_);
  Load();
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  SetFocus(Item(ids::kCommand1));
  SetTimer(hwnd_, kTimer3, kTimer3Ms, nullptr);
  return true;
}

void Form1::Load() {
  const settings::Values v = settings::LoadAndApply(p_.store, p_.app_name, p_.windows,
                                                    reinterpret_cast<platform::Handle>(hwnd_));
  PauseVAL = v.PauseVAL;
  TrannyVal = v.TrannyVal;
}

void Form1::Unload() {
  form2_.Unload();
  // Ends at once, also when a handler is suspended in a wait: none of them resumes.
  ExitProcess(0);
}

void Form1::Update() {
  if (auto song = player::ReadNowPlaying(p_.windows)) SetLabel(*song);
}

void Form1::RefreshTick() {
  Update();
  SetTooltip(label_text_);
}

void Form1::SetLabel(const std::wstring& text) {
  // The title is read every tick, but the label is only repainted when it changes.
  if (text == label_text_) return;
  label_text_ = text;
  HWND label = Item(ids::kLabel1);
  SetWindowTextW(label, label_text_.c_str());
  InvalidateRect(label, nullptr, TRUE);
}

void Form1::SetTooltip(const std::wstring& text) {
  if (!tooltip_ || text == tooltip_text_) return;
  tooltip_text_ = text;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(Item(ids::kLabel1));
  ti.lpszText = tooltip_text_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form1::Reload() {
  // A click during the wait below must not start a second copy.
  if (reloading_) return;
  reloading_ = true;
  p_.launcher.StartMinimized(kReloadFile);  // not reported when it cannot start
  player::WaitSeconds(0.3, p_.clock, p_.pump);
  Unload();
}

void Form1::SaveLog() {
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
  const std::string bytes = FormatLog(*this, p_.codec);
  if (auto error = p_.files.WriteWhole(file, bytes)) {
    const std::wstring text = std::to_wstring(error->number) + L" " + error->description;
    MessageBoxW(hwnd_, text.c_str(), L"", MB_OK);
  }
}

void Form1::OnCommand(int id) {
  switch (id) {
    case ids::kCommand1:
      log_.Toggle();
      break;
    case ids::kCommand2:
      SaveLog();
      break;
    case ids::kCommand3:
      log_.ClearLog();
      break;
    case ids::kCommand4:
      announcer_.On();
      break;
    case ids::kCommand5:
      announcer_.Off();
      break;
    case ids::kCommand6:
      Reload();
      break;
    case ids::kCommand7:
      form2_.Open(instance_, hwnd_);
      break;
    default:
      break;
  }
}

void Form1::OnTimer(UINT_PTR id) {
  switch (id) {
    case kTimer1:
      log_.Poll();
      break;
    case kTimer2:
      if (announcer_.busy()) break;
      KillTimer(hwnd_, kTimer2);
      announcer_.Cycle();
      SetAnnounceTimer(announce_timer_on_);
      break;
    case kTimer3:
      RefreshTick();
      break;
    default:
      break;
  }
}

void Form1::DrawLabel(const DRAWITEMSTRUCT& d) {
  RECT r = d.rcItem;
  FillRect(d.hDC, &r, window_.get());
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(d.hDC, fonts_.For(layout::Font::kArialBold));
  // One line, centred on the label's whole width, cut where the label (or window) ends.
  DrawTextW(d.hDC, label_text_.c_str(), static_cast<int>(label_text_.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(d.hDC, old);
}

// --- AnnouncerView

bool Form1::IsSelected(ChatClient client) {
  int id = 0;
  switch (client) {
    case ChatClient::kAol:
      id = ids::kOption6;
      break;
    case ChatClient::kAim:
      id = ids::kOption7;
      break;
    case ChatClient::kYahoo:
      id = ids::kOption2;
      break;
    case ChatClient::kMirc:
      id = ids::kOption3;
      break;
  }
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring Form1::Prefix() {
  return controls::TextOf(Item(ids::kText1));
}

void Form1::SetAnnounceTimer(bool enabled) {
  announce_timer_on_ = enabled;
  // While a cycle waits, its ticks would only be turned away: the timer sleeps until the
  // cycle ends, and starts again then if it is still on.
  if (enabled && !announcer_.busy()) {
    SetTimer(hwnd_, kTimer2, kTimer2Ms, nullptr);
  } else {
    KillTimer(hwnd_, kTimer2);
  }
}

void Form1::Inform(const std::wstring& text) {
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

// --- SongLogView

std::wstring Form1::ToggleCaption() {
  return controls::TextOf(Item(ids::kCommand1));
}
void Form1::SetToggleCaption(const std::wstring& caption) {
  SetWindowTextW(Item(ids::kCommand1), caption.c_str());
}
void Form1::SetLogTimer(bool enabled) {
  if (enabled) {
    SetTimer(hwnd_, kTimer1, kTimer1Ms, nullptr);
  } else {
    KillTimer(hwnd_, kTimer1);
  }
}
int Form1::Count() {
  const LRESULT n = SendMessageW(Item(ids::kList1), LB_GETCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : 0;
}
void Form1::SelectTop() {
  SendMessageW(Item(ids::kList1), LB_SETCURSEL, 0, 0);
}
std::wstring Form1::SelectedText() {
  HWND list = Item(ids::kList1);
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return {};
  return Entry(static_cast<int>(index));
}
void Form1::InsertTop(const std::wstring& song) {
  SendMessageW(Item(ids::kList1), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(song.c_str()));
}
std::wstring Form1::Entry(int index) {
  HWND list = Item(ids::kList1);
  const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR || n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}
void Form1::Clear() {
  SendMessageW(Item(ids::kList1), LB_RESETCONTENT, 0, 0);
}

// --- window procedure

LRESULT Form1::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (controls::KeepFocus(hwnd_, msg, wp, saved_focus_, ids::kCommand1)) return 0;
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case DM_GETDEFID: {
      // Enter clicks the focused push button, as in a dialog.
      HWND focus = GetFocus();
      if (focus && IsChild(hwnd_, focus) &&
          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
           (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) &&
          !(SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      }
      return 0;
    }
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lp) == Item(ids::kText1)) {
        SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 255, 0));
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(black_.get());
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return controls::GreyControlColors(wp, grey_.get());
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlType == ODT_BUTTON) controls::DrawGraphicButton(d, face_.get());
      if (d.CtlType == ODT_STATIC) DrawLabel(d);
      return TRUE;
    }
    case WM_CLOSE:
      Unload();
      break;
    case WM_ENDSESSION:
      // A shutdown that another program cancelled (FALSE) leaves the program running.
      if (wp) Unload();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace zurelo
