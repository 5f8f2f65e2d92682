#pragma once

namespace platform {

// A monotonic clock in seconds; its zero is arbitrary and it never jumps back
// (at midnight or when the user sets the time).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double NowSeconds() = 0;
};

}  // namespace platform
