#pragma once

#include <windows.h>

#include <string>

#include "platform/file_output.h"

namespace platform::win32 {

class Win32FileOutput : public FileOutput {
 public:
  std::optional<FileError> WriteWhole(const std::wstring& path, const std::string& bytes) override;
};

// The platform's description of an error number, without the trailing line break.
std::wstring ErrorDescription(DWORD error);

}  // namespace platform::win32
