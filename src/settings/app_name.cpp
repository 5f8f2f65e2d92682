#include "settings/app_name.h"

namespace settings {

std::wstring AppNameFromPath(const std::wstring& exe_path) {
  const std::size_t slash = exe_path.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? exe_path : exe_path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace settings
