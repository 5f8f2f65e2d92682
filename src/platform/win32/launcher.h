#pragma once

#include <windows.h>

#include <string>

#include "platform/launcher.h"

namespace platform::win32 {

class Win32Launcher : public Launcher {
 public:
  bool StartMinimized(const std::wstring& file_name) override;
};

// The full path of the running executable.
std::wstring ExecutablePath();

}  // namespace platform::win32
