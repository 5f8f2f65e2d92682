#pragma once
// Stable control IDs of the main window, shared by the window code and the end-to-end driver.

namespace ids {

// Main window ("Zurelo 1.0", class "ZureloMain").
inline constexpr int kLogToggleButton = 101;  // "Start Logging Songs" / "Stop Logging Songs"
inline constexpr int kSaveLogButton = 102;
inline constexpr int kClearLogButton = 103;
inline constexpr int kOnButton = 104;
inline constexpr int kOffButton = 105;
inline constexpr int kReloadButton = 106;
inline constexpr int kSettingsButton = 107;
// The chat clients' option buttons ("Chat Send Method") are with their rows, in
// chat_clients.h.
inline constexpr int kMethodFrame = 121;       // "Chat Send Method"
inline constexpr int kChatSendFrame = 123;     // "Chat Send"
inline constexpr int kMainControlFrame = 124;  // "Main Control"
inline constexpr int kSongLabel = 131;         // the now-playing bar
inline constexpr int kPrefixBox = 141;         // the line's prefix
inline constexpr int kSongList = 151;          // the song log

// The system menu's choices, by command (tests and automation post WM_SYSCOMMAND with them).
inline constexpr unsigned kAnnounceOnceCommand = 0x0110;
inline constexpr unsigned kNowPlayingFileCommand = 0x0120;
inline constexpr unsigned kFormatsCommand = 0x0130;  // opens the formats window

}  // namespace ids

inline constexpr wchar_t kMainClass[] = L"ZureloMain";
