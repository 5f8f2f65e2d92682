#pragma once
// The chat senders: each finds a chat client's input box by window class, types a line
// into it and makes the client send it. Every call finds all windows afresh. A line is one
// piece of work on a worker (searches, text, Enter or click), so nothing opened on this
// side meanwhile can hold back its end. A send given up on (the client hung or went away)
// ends the line, so the Enter or click never arrives without the text before it. Control
// characters in the line go as blanks: a line break would make the client send two lines.

#include <string>

#include "platform/event_pump.h"
#include "platform/window_system.h"

namespace chat {

class ChatSenders {
 public:
  ChatSenders(platform::WindowSystem& windows, platform::EventPump& pump)
      : windows_(windows), pump_(pump) {}

  // The AOL chat room among the client's document windows; 0 when there is none.
  platform::Handle FindAolRoom();
  void SendToAolRoom(const std::wstring& message);
  void SendToAim(const std::wstring& message);
  void SendToYahoo(const std::wstring& message);
  void SendToMirc(const std::wstring& message);
  // Activates a button of another program's window (a press and a release), as a line of
  // its own.
  void PressButton(platform::Handle button);

 private:
  platform::WindowSystem& windows_;
  platform::EventPump& pump_;
};

}  // namespace chat
