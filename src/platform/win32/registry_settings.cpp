#include "platform/win32/registry_settings.h"

#include "platform/win32/handles.h"

namespace platform::win32 {

namespace {
std::wstring SectionPath(const std::wstring& app, const std::wstring& section) {
  return L"Software\\VB and VBA Program Settings\\" + app + L"\\" + section;
}
}  // namespace

std::wstring RegistrySettings::Get(const std::wstring& app, const std::wstring& section,
                                   const std::wstring& key) {
  const std::wstring path = SectionPath(app, section);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
      return {};
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ,
                                        nullptr, value.data(), &size);
    if (status == ERROR_MORE_DATA) continue;  // grew between the two reads
    if (status != ERROR_SUCCESS) return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
  }
  return {};
}

bool RegistrySettings::Save(const std::wstring& app, const std::wstring& section,
                            const std::wstring& key, const std::wstring& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(app, section).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  UniqueKey k(raw);
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(k.get(), key.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace platform::win32
