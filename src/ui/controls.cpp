#include "ui/controls.h"

#include <commctrl.h>

#include <string>

#include "platform/trace.h"
#include "platform/win32/handles.h"

namespace ui {

int ScreenDpi() {
  const platform::win32::WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

void CreateAll(HWND parent, const std::vector<layout::Control>& table, int dpi,
               const Fonts& fonts) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  layout::Kind previous = layout::Kind::kFrame;
  for (const layout::Control& c : table) {
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (c.kind) {
      case layout::Kind::kFrame:
        style |= BS_GROUPBOX | WS_GROUP;
        break;
      case layout::Kind::kButton:
        style |= BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
        break;
      case layout::Kind::kGraphicButton:
        style |= BS_OWNERDRAW | WS_TABSTOP | WS_GROUP;
        break;
      case layout::Kind::kOption:
        // One group of option buttons: the first takes the tab stop, arrows move between them.
        style |= BS_AUTORADIOBUTTON;
        if (previous != layout::Kind::kOption) style |= WS_GROUP | WS_TABSTOP;
        break;
      case layout::Kind::kLabel:
        cls = L"STATIC";
        style |= SS_NOPREFIX | SS_NOTIFY | WS_GROUP;
        break;
      case layout::Kind::kDisplay:
        cls = L"STATIC";
        style |= SS_OWNERDRAW | SS_NOTIFY | WS_BORDER | WS_GROUP;
        break;
      case layout::Kind::kEdit:
        cls = L"EDIT";
        style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP | WS_GROUP;
        break;
      case layout::Kind::kList:
        cls = L"LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP;
        break;
    }
    const layout::Rect r = layout::ToPixels(c, dpi);
    HWND w =
        CreateWindowExW(0, cls, c.caption, style, r.left, r.top, r.width, r.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (w) {
      SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(c.font)), FALSE);
    } else {
      // The window opens without it; what the control would do is simply not there.
      platform::Trace(L"control " + std::to_wstring(c.id) + L" could not be created (error " +
                      std::to_wstring(GetLastError()) + L")");
    }
    previous = c.kind;
  }
}

SIZE WindowSizeFor(int client_twips_w, int client_twips_h, int dpi, DWORD style, DWORD ex_style) {
  RECT r{0, 0, layout::TwipsToPixels(client_twips_w, dpi),
         layout::TwipsToPixels(client_twips_h, dpi)};
  AdjustWindowRectEx(&r, style, FALSE, ex_style);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace ui
