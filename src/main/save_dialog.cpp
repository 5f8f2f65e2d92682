#include "main/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

namespace zurelo {

std::optional<std::wstring> AskSaveFile(HWND owner, const std::wstring& proposed,
                                        bool confirm_replace) {
  // The buffer holds the longest path the dialog can return.
  std::wstring file(32768, L'\0');
  file.replace(0, std::min(proposed.size(), file.size() - 1), proposed);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Text File (*.txt)\0*.txt\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = L"txt";
  // The current directory stays as it was: Reload finds the program by its bare name.
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (confirm_replace) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) {
      MessageBoxW(owner, (std::to_wstring(error) + L" The save dialog could not be shown.").c_str(),
                  L"", MB_OK);
    }
    return std::nullopt;
  }
  file.resize(wcsnlen(file.c_str(), file.size()));
  return file;
}

}  // namespace zurelo
