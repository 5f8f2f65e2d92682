#pragma once
// The now-playing files' texts as the settings store keeps them.

#include <string>
#include <vector>

#include "main/now_playing_file.h"

namespace zurelo {

// Nothing stored (or a record cut short) keeps the defaults for what is missing.
FileTexts DecodeFileTexts(const std::wstring& stored);
std::wstring EncodeFileTexts(const FileTexts& texts);
// Records without a path are skipped.
std::vector<FileFormat> DecodeOtherFiles(const std::wstring& stored);
std::wstring EncodeOtherFiles(const std::vector<FileFormat>& files);

}  // namespace zurelo
