#include "main/announcer.h"

namespace zurelo {

void Announcer::On() {}
void Announcer::Off() {}
void Announcer::Cycle() { (void)view_; (void)chat_; (void)clock_; (void)pump_; (void)pause_; }

}  // namespace zurelo
