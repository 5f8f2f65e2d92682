#include "settings/translucency.h"

#include <optional>

#include "settings/settings_model.h"

namespace settings {

void MakeTranslucent(platform::WindowSystem& windows, platform::Handle window, std::int16_t alpha) {
  if (alpha < 0 || alpha > 255) return;
  // The layered style is only ever added: a translucent window stays layered for the run.
  const std::optional<std::uint32_t> style = windows.GetExStyle(window);
  if (!style) return;
  windows.SetExStyle(window, *style | kExLayered);
  windows.SetLayeredAlpha(window, static_cast<std::uint8_t>(alpha));
}

void ApplyStoredTranslucency(const std::wstring& stored, platform::WindowSystem& windows,
                             platform::Handle window) {
  if (stored == kOn) MakeTranslucent(windows, window, kAlphaOn);
}

void ApplyChosenTranslucency(const std::wstring& chosen, platform::WindowSystem& windows,
                             platform::Handle window) {
  MakeTranslucent(windows, window, chosen == kOn ? kAlphaOn : kAlphaOff);
}

}  // namespace settings
