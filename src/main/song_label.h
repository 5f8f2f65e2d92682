#pragma once
// The now-playing label along the bottom of the main window, and its tool tip, which shows
// a long title whole where the label cuts it off.

#include <windows.h>

#include <string>

#include "main/now_playing_model.h"
#include "platform/win32/handles.h"

namespace zurelo {

class SongLabel : public SongDisplay {
 public:
  // Attaches to the label control. Its tool tip, which wraps long titles at a width fitting
  // the screen's DPI, is made with the first song shown.
  void Attach(HWND window, HWND label, int dpi);
  void ShowSong(const std::wstring& song) override;
  // Paints the label (owner-drawn): one line, centred on its whole width, cut where the
  // label or the window ends.
  void Draw(const DRAWITEMSTRUCT& d, HFONT font) const;

 private:
  void MakeToolTip();

  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND tooltip_ = nullptr;  // owned by the window, destroyed with it
  int dpi_ = 96;
  std::wstring text_;
  platform::win32::UniqueBrush background_;
};

}  // namespace zurelo
