#pragma once
// The chat senders: each finds a chat client's input box by window class, types a line
// into it and makes the client send it. Every call finds all windows afresh. A line is one
// piece of work on a worker (searches, text, Enter or click), so nothing opened on this
// side meanwhile can hold back its end. A send given up on (the client hung or went away)
// ends the line, so the Enter or click never arrives without the text before it. Control
// characters in the line go as blanks: a line break would make the client send two lines.

#include <functional>
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
  // Each answers kDone when the line went into the client's input box, kNoTarget when no
  // box was found, kNoAnswer when the client was given up on.
  platform::Delivery SendToAolRoom(const std::wstring& message);
  platform::Delivery SendToAim(const std::wstring& message);
  platform::Delivery SendToYahoo(const std::wstring& message);
  platform::Delivery SendToMirc(const std::wstring& message);

 private:
  // One line as its worker gets it: the text, and the line typed into the same client
  // before it (a box still holding that is no draft of the user's).
  struct Line {
    std::wstring text;
    std::wstring previous;
  };
  platform::Delivery Send(std::wstring& last, const std::wstring& message,
                          std::function<bool(platform::ChatLine&, const Line&)> steps);

  platform::WindowSystem& windows_;
  platform::EventPump& pump_;
  std::wstring last_aol_, last_aim_, last_yahoo_, last_mirc_;
};

}  // namespace chat
