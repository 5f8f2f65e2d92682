#pragma once
// The chat senders: each client's line finds the client's input box by window class, types
// the line into it and makes the client send it. A line is one piece of work on a worker
// (searches, text, Enter or click), started here and ended by a notice from the message
// loop, so nothing on this side can hold it and it holds nothing here. Every message of a
// line goes to the windows found at its start, and the Enter or click only to a box that
// holds exactly our line: the user's own words are never sent. Control characters in the
// line go as blanks: a line break would make the client send two lines.

#include <functional>
#include <map>
#include <string>

#include "platform/window_system.h"

namespace chat {

// One line as its worker gets it: the text, and the line left in the same client's box
// before it (a box still holding that is no draft of the user's).
struct LineText {
  std::wstring text;
  std::wstring previous;
};

// One client's line, run on the worker.
using LineSteps = platform::LineReport (*)(platform::LineWindows&, const LineText&);

// The AOL chat room among the client's document windows; 0 when there is none.
platform::Handle FindAolRoom(platform::WindowFinder& windows);
platform::LineReport AolLine(platform::LineWindows& w, const LineText& line);
platform::LineReport AimLine(platform::LineWindows& w, const LineText& line);
platform::LineReport YahooLine(platform::LineWindows& w, const LineText& line);
platform::LineReport MircLine(platform::LineWindows& w, const LineText& line);

// What the user's box should hold once our text has been in it: the draft that was there
// before, with whatever the user typed while our text was there (the box now, less our
// text, whole or what is left of it) put in at the draft's caret. Never our text.
platform::BoxText UsersWords(const platform::BoxText& draft, const platform::BoxText& now,
                             const platform::BoxText& ours);

// How a line ended, as the announcer learns it.
enum class LineOutcome {
  kPosted,     // typed into the box and sent by the client
  kNotPosted,  // the box was found, but the line was not sent (the box changed meanwhile,
               // or the client has no send button)
  kNoBox,      // no input box was found
  kGivenUp,    // given up on its way: the client was reported hung or gone, or the line's
               // worker never started
  kSkipped,    // never started: an earlier line is still stuck in the client, or no worker
               // could be made
  // Told after kGivenUp, when the worker came back: the client had taken the line after all.
  kPostedAfterGivingUp,
};

class ChatSenders {
 public:
  explicit ChatSenders(platform::WindowSystem& windows) : windows_(windows) {}

  // Starts a line to the client (any key that names it). ended runs on this thread once the
  // line ends, within this call when it cannot start (kSkipped); after kGivenUp maybe once
  // more, with kPostedAfterGivingUp.
  void Send(int client, LineSteps steps, const std::wstring& message,
            std::function<void(LineOutcome)> ended);
  // A line's worker is still out in the client (blocked in it after a give-up, say): the
  // client gets no other line until it is back.
  bool Busy(int client) const;

 private:
  struct Client {
    bool busy = false;
    std::wstring previous;  // our line, left in the box the last time
  };
  platform::WindowSystem& windows_;
  std::map<int, Client> clients_;
};

}  // namespace chat
