#pragma once
// The per-user settings store, addressed by application, section and key; values are texts.

#include <string>

namespace platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the empty text when nothing is stored (or it cannot be read).
  virtual std::wstring Get(const std::wstring& app, const std::wstring& section,
                           const std::wstring& key) = 0;
  // Creates or overwrites the value; false when it could not be written.
  virtual bool Save(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value) = 0;
};

}  // namespace platform
