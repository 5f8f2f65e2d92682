#pragma once
// The two per-user settings (pause seconds, translucency) and the translucency routine.

#include <cstdint>
#include <string>

#include "platform/settings_store.h"
#include "platform/window_system.h"

namespace settings {

inline constexpr wchar_t kPauseSection[] = L"Pause";
inline constexpr wchar_t kPauseKey[] = L"Pause1";
inline constexpr wchar_t kTransSection[] = L"Trans";
inline constexpr wchar_t kTransKey[] = L"Trans1";
inline constexpr wchar_t kDefaultPause[] = L"60";
inline constexpr wchar_t kTransOn[] = L"1";
inline constexpr wchar_t kTransOff[] = L"2";
inline constexpr std::int16_t kAlphaOn = 200;
inline constexpr std::int16_t kAlphaOff = 250;
inline constexpr std::uint32_t kExLayered = 0x80000;  // WS_EX_LAYERED

struct Values {
  std::wstring PauseVAL;   // the pause text, "60" when nothing is stored
  std::wstring TrannyVal;  // "1", "2" or empty, as stored
};

// Reads both settings as the main window does at start.
Values Load(platform::SettingsStore& store, const std::wstring& app);

// The main window's start: reads the settings and turns the window translucent when "1" is
// stored. Anything else leaves it opaque, without the layered style.
Values LoadAndApply(platform::SettingsStore& store, const std::wstring& app,
                    platform::WindowSystem& windows, platform::Handle main_window);

// Adds the layered style to the window and sets its alpha (0 transparent .. 255 opaque);
// an alpha out of that range changes nothing.
void MakeTranslucent(platform::WindowSystem& windows, platform::Handle window, std::int16_t alpha);

// Whether the text reads as a number: blanks around, an optional sign, digits with an
// optional decimal part (the point or the user's decimal separator) and an optional exponent,
// whose value is finite.
bool IsNumeric(const std::wstring& text, wchar_t decimal_separator = L'.');

// The application name under which settings are stored: the executable's base name.
std::wstring AppNameFromPath(const std::wstring& exe_path);

}  // namespace settings
