#pragma once

#include <windows.h>

#include "platform/text_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/window_system.h"

namespace platform::win32 {

// Other programs' windows: searches through the ANSI user32 calls, titles and texts in
// Unicode. A line goes whole to a worker thread of its own while this thread goes on
// dispatching its events, so a slow client gets every message however long it takes, and
// this program's windows keep answering meanwhile. A client is given up only when the
// system reports it hung or its window is gone.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem(TextCodec& codec, Win32EventPump& pump) : codec_(codec), pump_(pump) {}

  Handle FindTopLevel(const std::wstring& cls) override;
  Handle FindChild(Handle parent, Handle child_after, const std::wstring& cls) override;
  std::wstring GetTitle(Handle w, int max_count) override;
  Delivery RunLine(std::function<bool(ChatLine&)> steps) override;
  std::optional<std::uint32_t> GetExStyle(Handle w) override;
  bool SetExStyle(Handle w, std::uint32_t style) override;
  bool SetLayeredAlpha(Handle w, std::uint8_t alpha) override;

 private:
  TextCodec& codec_;
  Win32EventPump& pump_;
  SteadyClock clock_;
};

}  // namespace platform::win32
