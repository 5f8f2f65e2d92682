#pragma once
// Stable control IDs of the formats window, shared by the window code and the end-to-end
// driver.

namespace ids {

// Formats window ("Formats", class "ZureloFormats").
inline constexpr int kLineFormatLabel = 301;
inline constexpr int kLineFormatBox = 302;   // the line's format
inline constexpr int kSaveLineButton = 303;  // "Save &Line"
inline constexpr int kLinePreview = 304;     // the line as it would go now
inline constexpr int kFilesFrame = 310;      // "Now-playing files"
inline constexpr int kFileList = 311;        // the files, the system menu's first
inline constexpr int kFilePathLabel = 312;
inline constexpr int kFilePathBox = 313;
inline constexpr int kBrowseButton = 314;  // "&Browse..."
inline constexpr int kPlayingLabel = 321;
inline constexpr int kPlayingBox = 322;  // the text while playing
inline constexpr int kPlayingPreview = 323;
inline constexpr int kPausedLabel = 324;
inline constexpr int kPausedBox = 325;  // while paused
inline constexpr int kPausedPreview = 326;
inline constexpr int kStoppedLabel = 327;
inline constexpr int kStoppedBox = 328;  // while stopped or not running
inline constexpr int kStoppedPreview = 329;
inline constexpr int kAddFileButton = 331;     // "&Add File"
inline constexpr int kChangeFileButton = 332;  // "&Change File"
inline constexpr int kRemoveFileButton = 333;  // "&Remove File"
inline constexpr int kStatusLabel = 341;       // what the last button did, or why not
inline constexpr int kPlaceholdersLabel = 342;

}  // namespace ids

inline constexpr wchar_t kFormatsClass[] = L"ZureloFormats";
