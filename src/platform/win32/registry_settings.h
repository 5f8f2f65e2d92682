#pragma once

#include <windows.h>

#include <string>

#include "platform/settings_store.h"

namespace platform::win32 {

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, REG_SZ values.
class RegistrySettings : public SettingsStore {
 public:
  std::wstring Get(const std::wstring& app, const std::wstring& section,
                   const std::wstring& key) override;
  bool Save(const std::wstring& app, const std::wstring& section, const std::wstring& key,
            const std::wstring& value) override;
};

}  // namespace platform::win32
