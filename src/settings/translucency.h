#pragma once
// The main window's translucency: the layered style and its alpha, from the stored choice at
// start and from a choice saved in the settings window.

#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace settings {

inline constexpr std::int16_t kAlphaOn = 200;
inline constexpr std::int16_t kAlphaOff = 250;
inline constexpr std::uint32_t kExLayered = 0x80000;  // WS_EX_LAYERED

// Adds the layered style to the window and sets its alpha (0 transparent .. 255 opaque);
// an alpha out of that range changes nothing.
void MakeTranslucent(platform::WindowSystem& windows, platform::Handle window, std::int16_t alpha);

// The main window at start: translucent when "1" is stored; anything else leaves it opaque,
// without the layered style.
void ApplyStoredTranslucency(const std::wstring& stored, platform::WindowSystem& windows,
                             platform::Handle window);
// A choice saved in the settings window, at once: "1" translucent, anything else nearly
// opaque (250), since the layered style, once added, stays for the run.
void ApplyChosenTranslucency(const std::wstring& chosen, platform::WindowSystem& windows,
                             platform::Handle window);

}  // namespace settings
