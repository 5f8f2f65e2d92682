#pragma once
// Stable control IDs of the settings window, shared by the window code and the end-to-end
// driver.

namespace ids {

// Settings window ("Settings", class "ZureloSettings").
inline constexpr int kTransparencyLabel = 201;   // Transparency:
inline constexpr int kPauseLabel = 202;          // Pause Value:(Seconds)
inline constexpr int kTranslucentOption = 211;   // On
inline constexpr int kOpaqueOption = 212;        // Off
inline constexpr int kPauseBox = 221;            // pause
inline constexpr int kSaveSettingsButton = 231;  // Save/Change Settings

}  // namespace ids

inline constexpr wchar_t kSettingsClass[] = L"ZureloSettings";
