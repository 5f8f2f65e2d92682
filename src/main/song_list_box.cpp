#include "main/song_list_box.h"

namespace zurelo {

int SongListBox::Count() {
  const LRESULT n = SendMessageW(list_, LB_GETCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : 0;
}

void SongListBox::SelectTop() {
  SendMessageW(list_, LB_SETCURSEL, 0, 0);
}

std::wstring SongListBox::SelectedText() {
  const LRESULT index = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return {};
  return Entry(static_cast<int>(index));
}

void SongListBox::InsertTop(const std::wstring& song) {
  SendMessageW(list_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(song.c_str()));
}

std::wstring SongListBox::Entry(int index) {
  const LRESULT n = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR || n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void SongListBox::Clear() {
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

}  // namespace zurelo
