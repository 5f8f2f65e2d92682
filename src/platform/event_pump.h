#pragma once
// Dispatch of the user-interface thread's pending events, and a sleep that wakes when
// an event arrives.

namespace platform {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatch every event that is pending now; returns at once when there is none.
  virtual void DispatchPending() = 0;
  // Sleep until an event arrives or max_seconds (finite) pass; dispatches the event that
  // ended the sleep. Callers loop on it until their own condition holds.
  virtual void WaitAndDispatch(double max_seconds) = 0;
};

}  // namespace platform
