#pragma once

namespace platform {

// This copy's claim to be the one copy of the program that runs for this user.
class InstanceClaim {
 public:
  virtual ~InstanceClaim() = default;
  // From now on a start of the program runs instead of handing over to this copy (the new
  // copy that Reload starts).
  virtual void GiveUp() = 0;
};

}  // namespace platform
