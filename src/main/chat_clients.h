#pragma once
// The chat clients the announcer serves: one row each, and everything about a client that
// the program keeps is keyed by its row's option button. A row gives the option button on
// the main window (made from the row, in the "Chat Send Method" frame), its caption and
// place in the tab order, its line (run on a worker) and whether its box takes commands;
// the rows stand in the order the announcer looks at the options in each cycle.
//
// A new client: its line routine in src/chat/chat_senders.h and .cpp, and here its option
// button's ID and its row.

#include <cstddef>
#include <string>

#include "chat/chat_senders.h"
#include "main/control_ids.h"

// The chat clients' option buttons ("Chat Send Method"), stable for the end-to-end driver.
namespace ids {
inline constexpr int kYahooOption = 112;
inline constexpr int kMircOption = 113;
inline constexpr int kAolOption = 116;
inline constexpr int kAimOption = 117;
}  // namespace ids

namespace zurelo {

struct ChatClient {
  int option_id;           // the option button on the main window
  const wchar_t* caption;  // its caption
  int tab_place;           // its place among the option buttons in the tab order
  chat::LineSteps line;    // its line, run on a worker
  bool takes_commands;     // its input box runs a line beginning with "/" as a command
};

inline constexpr ChatClient kChatClients[] = {
    {ids::kAolOption, L"AOL 9.0", 2, &chat::AolLine, false},
    {ids::kAimOption, L"AIM 5.9", 3, &chat::AimLine, false},
    {ids::kYahooOption, L"Yahoo! 8.0", 0, &chat::YahooLine, false},
    {ids::kMircOption, L"MIRC", 1, &chat::MircLine, true},
};
inline constexpr std::size_t kChatClientCount = sizeof(kChatClients) / sizeof(kChatClients[0]);

// Rows to walk: the table, or (in the announcer's tests) stand-ins for it.
struct ChatClientRows {
  const ChatClient* first;
  std::size_t count;
  const ChatClient* begin() const { return first; }
  const ChatClient* end() const { return first + count; }
};
inline constexpr ChatClientRows kChatClientRows{kChatClients, kChatClientCount};

}  // namespace zurelo
