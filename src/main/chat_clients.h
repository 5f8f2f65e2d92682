#pragma once
// The chat clients the announcer serves: one row each. A row gives the client's option
// button on the main window, its caption and place in the tab order, and its line; the
// rows stand in the order the announcer looks at the options in each cycle.

#include <cstddef>
#include <string>

#include "chat/chat_senders.h"
#include "main/control_ids.h"

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

}  // namespace zurelo
