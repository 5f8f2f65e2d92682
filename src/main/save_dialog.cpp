#include "main/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <type_traits>

namespace zurelo {
namespace {

// comdlg32 is loaded when a save dialog is first asked for, not linked: linked, it loads at
// start with the printing libraries it imports, for a dialog most sessions never open.
struct LibraryFreer {
  void operator()(HMODULE m) const {
    if (m) FreeLibrary(m);
  }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

struct CommonDialogs {
  UniqueLibrary library;
  decltype(&GetSaveFileNameW) get_save_file_name = nullptr;
  decltype(&CommDlgExtendedError) extended_error = nullptr;
};

// A function of the library, as the type it is declared with (through the generic function
// type, which converts to any other without a warning).
template <typename Function>
Function Find(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The loaded library, kept for the rest of the program once loaded; null, with the system's
// error code in *error, when it cannot be loaded.
const CommonDialogs* LoadCommonDialogs(DWORD* error) {
  static CommonDialogs dialogs;
  if (!dialogs.library) {
    // A known system library: always the system's copy, whatever folder the program runs in.
    UniqueLibrary library(LoadLibraryW(L"comdlg32.dll"));
    if (!library) {
      *error = GetLastError();
      return nullptr;
    }
    const auto get = Find<decltype(&GetSaveFileNameW)>(library.get(), "GetSaveFileNameW");
    const auto extended =
        Find<decltype(&CommDlgExtendedError)>(library.get(), "CommDlgExtendedError");
    if (!get || !extended) {
      *error = GetLastError();
      return nullptr;
    }
    dialogs = {std::move(library), get, extended};
  }
  return &dialogs;
}

void TellNotShown(HWND owner, DWORD error) {
  MessageBoxW(owner, (std::to_wstring(error) + L" The save dialog could not be shown.").c_str(),
              L"", MB_OK);
}

}  // namespace

std::optional<std::wstring> AskSaveFile(HWND owner, const std::wstring& proposed,
                                        bool confirm_replace) {
  DWORD load_error = 0;
  const CommonDialogs* dialogs = LoadCommonDialogs(&load_error);
  if (!dialogs) {
    TellNotShown(owner, load_error);
    return std::nullopt;
  }
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
  if (!dialogs->get_save_file_name(&ofn)) {
    const DWORD error = dialogs->extended_error();
    if (error != 0) TellNotShown(owner, error);
    return std::nullopt;
  }
  file.resize(wcsnlen(file.c_str(), file.size()));
  return file;
}

}  // namespace zurelo
