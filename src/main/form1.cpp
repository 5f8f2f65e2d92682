#include "main/form1.h"

#include <commdlg.h>

#include "main/control_ids.h"
#include "main/main_layout.h"
#include "settings/settings.h"
#include "ui/controls.h"

namespace zurelo {
namespace {

constexpr UINT_PTR kTimer1 = 1;  // song log poll, 1000 ms
constexpr UINT_PTR kTimer2 = 2;  // announcer cycle, 10 ms
constexpr UINT_PTR kTimer3 = 3;  // now-playing refresh, 10 ms
constexpr UINT kTimer1Ms = 1000, kTimer2Ms = 10, kTimer3Ms = 10;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kCaption[] = L"Zurelo 1.0";
constexpr wchar_t kTitle[] = L"Zurelo";
constexpr COLORREF kPrefixGreen = RGB(0, 255, 0);

}  // namespace

Form1::Form1(const Services& services)
    : ui::Form(ids::kCommand1),
      s_(services),
      now_playing_(s_.windows, label_),
      chat_(s_.windows, s_.pump),
      announcer_(*this, chat_, now_playing_, s_.clock, s_.pump),
      log_(*this, list_, now_playing_, s_.windows),
      reloader_(s_.launcher, s_.clock, s_.pump),
      form2_(s_.store, s_.app_name, s_.windows, s_.pump) {}

Form1::~Form1() {
  if (!hwnd_) return;
  HWND w = hwnd_;
  s_.pump.RemoveDialogWindow(w);
  Detach();
  DestroyWindow(w);
}

bool Form1::Create(HINSTANCE instance, int show) {
  instance_ = instance;
  const int dpi = ui::ScreenDpi();
  theme_.emplace(dpi);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &ui::WindowObject::Procedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = theme_->grey.get();
  wc.lpszClassName = kMainClass;
  if (!RegisterClassExW(&wc)) return false;

  const SIZE size =
      ui::WindowSizeFor(layout::kMainClientWidth, layout::kMainClientHeight, dpi, kStyle, 0);
  hwnd_ = CreateWindowExW(0, kMainClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                          size.cy, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  ui::CreateAll(hwnd_, layout::MainControls(), dpi, theme_->fonts);
  SendMessageW(Item(ids::kText1), EM_SETLIMITTEXT, 0, 0);  // no limit on the prefix
  label_.Attach(hwnd_, Item(ids::kLabel1), dpi);
  list_.Attach(Item(ids::kList1));

  s_.pump.AddDialogWindow(hwnd_);
  Load();
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  SetFocus(Item(ids::kCommand1));
  SetTimer(hwnd_, kTimer3, kTimer3Ms, nullptr);
  return true;
}

void Form1::Load() {
  const settings::Values v = settings::LoadAndApply(s_.store, s_.app_name, s_.windows,
                                                    reinterpret_cast<platform::Handle>(hwnd_));
  PauseVAL = v.PauseVAL;
  TrannyVal = v.TrannyVal;
}

void Form1::Unload() {
  form2_.Unload();
  // Ends at once, also when a handler is suspended in a wait: none of them resumes.
  ExitProcess(0);
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
  if (auto error = log_.Save(file, s_.files, s_.codec)) {
    MessageBoxW(hwnd_, error->c_str(), L"", MB_OK);
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
      announcer_.On(PauseVAL);
      break;
    case ids::kCommand5:
      announcer_.Off();
      break;
    case ids::kCommand6:
      reloader_.Reload([this] { Unload(); });
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
      announcer_.Tick();
      break;
    case kTimer3:
      Update();
      break;
    default:
      break;
  }
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
  return ui::TextOf(Item(ids::kText1));
}

void Form1::SetAnnounceTimer(bool enabled) {
  if (enabled) {
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
  return ui::TextOf(Item(ids::kCommand1));
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

// --- window procedure

LRESULT Form1::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lp) == Item(ids::kText1)) {
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
