#include "main/win_controls.h"

#include <commctrl.h>

namespace controls {

HFONT Fonts::For(layout::Font f) const {
  switch (f) {
    case layout::Font::kArialBold:
      return arial_bold.get();
    case layout::Font::kArialRegular:
      return arial.get();
    case layout::Font::kDefault:
      return default_font.get();
  }
  return default_font.get();
}

namespace {
HFONT MakeFont(const wchar_t* face, int weight, int dpi) {
  // 8.25 points: the height in pixels is 8.25 * dpi / 72, negative for the character height.
  const int height = -MulDiv(825, dpi, 7200);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}
}  // namespace

Fonts MakeFonts(int dpi) {
  Fonts f;
  f.arial_bold.reset(MakeFont(L"Arial", FW_BOLD, dpi));
  f.arial.reset(MakeFont(L"Arial", FW_NORMAL, dpi));
  f.default_font.reset(MakeFont(L"MS Sans Serif", FW_NORMAL, dpi));
  return f;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void CreateAll(HWND parent, const std::vector<layout::Control>& table, int dpi,
               const Fonts& fonts) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  layout::Kind previous = layout::Kind::kFrame;
  for (const layout::Control& c : table) {
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD ex_style = 0;
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
        CreateWindowExW(ex_style, cls, c.caption, style, r.left, r.top, r.width, r.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (w) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(c.font)), FALSE);
    previous = c.kind;
  }
}

SIZE WindowSizeFor(int client_twips_w, int client_twips_h, int dpi, DWORD style, DWORD ex_style) {
  RECT r{0, 0, layout::TwipsToPixels(client_twips_w, dpi),
         layout::TwipsToPixels(client_twips_h, dpi)};
  AdjustWindowRectEx(&r, style, FALSE, ex_style);
  return {r.right - r.left, r.bottom - r.top};
}

void DrawGraphicButton(const DRAWITEMSTRUCT& d, HBRUSH face) {
  RECT r = d.rcItem;
  FillRect(d.hDC, &r, face);
  const bool pressed = (d.itemState & ODS_SELECTED) != 0;
  DrawEdge(d.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const std::wstring text = TextOf(d.hwndItem);
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor((d.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  RECT t = r;
  if (pressed) OffsetRect(&t, 1, 1);
  DrawTextW(d.hDC, text.c_str(), static_cast<int>(text.size()), &t,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (d.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(d.hDC, &f);
  }
}

std::wstring TextOf(HWND control) {
  if (!control) return {};
  const int n = GetWindowTextLengthW(control);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

LRESULT GreyControlColors(WPARAM dc, HBRUSH grey) {
  SetTextColor(reinterpret_cast<HDC>(dc), RGB(0, 0, 0));
  SetBkColor(reinterpret_cast<HDC>(dc), kGrey);
  return reinterpret_cast<LRESULT>(grey);
}

LRESULT CALLBACK WindowObject::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->Handle(msg, wp, lp);
  } catch (...) {
    // A failing handler is skipped; nothing may unwind into the window system.
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace controls

namespace controls {

bool KeepFocus(HWND window, UINT msg, WPARAM wp, HWND& saved, int first_id) {
  if (msg != WM_ACTIVATE) return false;
  if (LOWORD(wp) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) saved = focus;
  } else {
    HWND target = saved && IsChild(window, saved) ? saved : GetDlgItem(window, first_id);
    if (target) SetFocus(target);
  }
  return true;
}

}  // namespace controls
