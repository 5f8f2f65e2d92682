#pragma once
// Stable control IDs of the settings window, shared by the window code and the end-to-end
// driver.

namespace ids {

// Settings window ("Settings", class "ZureloSettings").
inline constexpr int kSetLabel1 = 201;    // Transparency:
inline constexpr int kSetLabel2 = 202;    // Pause Value:(Seconds)
inline constexpr int kSetOption1 = 211;   // On
inline constexpr int kSetOption2 = 212;   // Off
inline constexpr int kSetText1 = 221;     // pause
inline constexpr int kSetCommand7 = 231;  // Save/Change Settings

}  // namespace ids

inline constexpr wchar_t kSettingsClass[] = L"ZureloSettings";
