#pragma once

#include <windows.h>

#include "platform/text_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/window_system.h"

namespace platform::win32 {

// Other programs' windows: searches through the ANSI user32 calls, titles and texts in
// Unicode. Each message is sent from a worker thread while this thread goes on dispatching
// its own events in the pump's wait, so a slow client gets every message however long it
// takes, and this program's windows keep answering meanwhile. A client is given up only
// when the system reports it hung or its window is gone.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem(TextCodec& codec, Win32EventPump& pump) : codec_(codec), pump_(pump) {}

  Handle FindTopLevel(const std::wstring& cls) override;
  Handle FindChild(Handle parent, Handle child_after, const std::wstring& cls) override;
  std::wstring GetTitle(Handle w, int max_count) override;
  Delivery SendText(Handle w, const std::wstring& text) override;
  Delivery SendChar(Handle w, unsigned code) override;
  Delivery SendKeyDown(Handle w, unsigned vk) override;
  Delivery SendKeyUp(Handle w, unsigned vk) override;
  Delivery SendButtonDown(Handle w) override;
  Delivery SendButtonUp(Handle w) override;
  std::optional<std::uint32_t> GetExStyle(Handle w) override;
  bool SetExStyle(Handle w, std::uint32_t style) override;
  bool SetLayeredAlpha(Handle w, std::uint8_t alpha) override;

 private:
  // Sends the message (with its text, in the wide form, for WM_SETTEXT) and waits for it.
  Delivery Send(Handle w, UINT msg, WPARAM wp, const std::wstring* text = nullptr);
  TextCodec& codec_;
  Win32EventPump& pump_;
  SteadyClock clock_;
};

}  // namespace platform::win32
