#pragma once
// The song log's list, kept in a list box of the main window.

#include <windows.h>

#include <string>

#include "main/song_log.h"

namespace zurelo {

class SongListBox : public SongList {
 public:
  void Attach(HWND list) { list_ = list; }

  int Count() override;
  void SelectTop() override;
  std::wstring SelectedText() override;
  void InsertTop(const std::wstring& song) override;
  std::wstring Entry(int index) override;
  void Clear() override;

 private:
  HWND list_ = nullptr;
};

}  // namespace zurelo
