#include "main/song_label.h"

#include <commctrl.h>

#include "platform/win32/handles.h"

namespace zurelo {

void SongLabel::Attach(HWND window, HWND label, int dpi) {
  window_ = window;
  label_ = label;
  dpi_ = dpi;
  background_.reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
}

// Made with the first song, which comes once the window is up, rather than before the window
// shows: nobody can hover the label sooner, and the start is that much shorter.
void SongLabel::MakeToolTip() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
  if (!tooltip_) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = window_;
  ti.uId = reinterpret_cast<UINT_PTR>(label_);
  ti.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(600, dpi_, 96));
}

void SongLabel::ShowSong(const std::wstring& song) {
  if (!tooltip_) MakeToolTip();
  text_ = song;
  // A label's new text repaints it; painting it again as well doubled the cost of a change.
  SetWindowTextW(label_, text_.c_str());
  if (!tooltip_) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = window_;
  ti.uId = reinterpret_cast<UINT_PTR>(label_);
  ti.lpszText = text_.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void SongLabel::Draw(const DRAWITEMSTRUCT& d, HFONT font) const {
  RECT r = d.rcItem;
  FillRect(d.hDC, &r, background_.get());
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(COLOR_WINDOWTEXT));
  const platform::win32::SelectedObject selected(d.hDC, font);
  DrawTextW(d.hDC, text_.c_str(), static_cast<int>(text_.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace zurelo
