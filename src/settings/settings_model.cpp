#include "settings/settings_model.h"

namespace settings {

std::wstring SettingsModel::Get(const Setting& setting) const {
  std::wstring value = store_.Get(app_, setting.section, setting.key);
  if (value.empty()) value = setting.fallback;
  return value;
}

bool SettingsModel::Set(const Setting& setting, const std::wstring& value) {
  const bool stored = store_.Save(app_, setting.section, setting.key, value);
  // Told either way: what the user chose takes effect for this run even when the store
  // could not keep it.
  for (const Listener& listener : listeners_) listener(setting, value);
  return stored;
}

}  // namespace settings
