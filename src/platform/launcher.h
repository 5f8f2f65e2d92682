#pragma once

#include <string>

namespace platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts a program by its bare file name, without arguments, shown minimized and active.
  // false when it could not be started.
  virtual bool StartMinimized(const std::wstring& file_name) = 0;
};

}  // namespace platform
