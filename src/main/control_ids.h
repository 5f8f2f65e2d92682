#pragma once
// Stable control IDs of the main window, shared by the window code and the end-to-end driver.

namespace ids {

// Main window ("Zurelo 1.0", class "ZureloMain").
inline constexpr int kCommand1 = 101;  // Start/Stop Logging Songs
inline constexpr int kCommand2 = 102;  // &Save Log
inline constexpr int kCommand3 = 103;  // &Clear Log
inline constexpr int kCommand4 = 104;  // On
inline constexpr int kCommand5 = 105;  // Off
inline constexpr int kCommand6 = 106;  // Reload
inline constexpr int kCommand7 = 107;  // Settings
inline constexpr int kOption2 = 112;   // Yahoo! 8.0
inline constexpr int kOption3 = 113;   // MIRC
inline constexpr int kOption6 = 116;   // AOL 9.0
inline constexpr int kOption7 = 117;   // AIM 5.9
inline constexpr int kFrame1 = 121;    // Chat Send Method
inline constexpr int kFrame3 = 123;    // Chat Send
inline constexpr int kFrame4 = 124;    // Main Control
inline constexpr int kLabel1 = 131;    // now playing
inline constexpr int kText1 = 141;     // prefix
inline constexpr int kList1 = 151;     // song log

}  // namespace ids

inline constexpr wchar_t kMainClass[] = L"ZureloMain";
