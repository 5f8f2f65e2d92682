#pragma once
// Dispatch of the user-interface thread's pending events, and a sleep that wakes when
// an event arrives.

namespace platform {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatch every event that is pending now; returns at once when there is none.
  virtual void DispatchPending() = 0;
  // Sleep until an event arrives or max_seconds pass, then dispatch what is pending.
  virtual void WaitAndDispatch(double max_seconds) = 0;
};

}  // namespace platform
