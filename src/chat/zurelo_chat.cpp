#include "chat/zurelo_chat.h"

namespace chat {

platform::Handle ZureloChat::FindAolRoom() { return 0; }
void ZureloChat::SendToAolRoom(const std::wstring&) {}
void ZureloChat::SendToAim(const std::wstring&) {}
void ZureloChat::SendToYahoo(const std::wstring&) {}
void ZureloChat::SendToMirc(const std::wstring&) {}
void ZureloChat::PressButton(platform::Handle) { (void)windows_; (void)pump_; }

}  // namespace chat
