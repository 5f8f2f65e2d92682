#pragma once

#include <windows.h>

#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace platform::win32 {

// Other programs' windows: searches through the ANSI user32 calls, titles and texts in
// Unicode. Sends wait a bounded time for the target, so a client that hangs cannot freeze
// this program.
class Win32WindowSystem : public WindowSystem {
 public:
  explicit Win32WindowSystem(TextCodec& codec, unsigned send_timeout_ms = 2000)
      : codec_(codec), timeout_ms_(send_timeout_ms) {}

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
  enum class Form { kAnsi, kWide };  // SendMessageTimeoutA or SendMessageTimeoutW
  Delivery Send(Handle w, UINT msg, WPARAM wp, LPARAM lp, Form form = Form::kAnsi);
  TextCodec& codec_;
  unsigned timeout_ms_;
};

}  // namespace platform::win32
