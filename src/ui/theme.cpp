#include "ui/theme.h"

#include <string>

#include "ui/controls.h"

namespace ui {

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

Theme::Theme(int dpi)
    : fonts(MakeFonts(dpi)),
      grey(CreateSolidBrush(kGrey)),
      face(CreateSolidBrush(kButtonFace)),
      black(CreateSolidBrush(kBlack)) {}

LRESULT GreyControlColors(WPARAM dc, const Theme& theme) {
  SetTextColor(reinterpret_cast<HDC>(dc), kBlack);
  SetBkColor(reinterpret_cast<HDC>(dc), kGrey);
  return reinterpret_cast<LRESULT>(theme.grey.get());
}

LRESULT BlackEditColors(WPARAM dc, COLORREF text, const Theme& theme) {
  SetTextColor(reinterpret_cast<HDC>(dc), text);
  SetBkColor(reinterpret_cast<HDC>(dc), kBlack);
  return reinterpret_cast<LRESULT>(theme.black.get());
}

void DrawGraphicButton(const DRAWITEMSTRUCT& d, const Theme& theme) {
  RECT r = d.rcItem;
  FillRect(d.hDC, &r, theme.face.get());
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

}  // namespace ui
