#pragma once
// The real platform: Win32 implementations of the seams, and RAII owners for the handles
// the program creates.

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/file_output.h"
#include "platform/launcher.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace platform::win32 {

// --- RAII owners
struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct GdiDeleter {
  void operator()(HGDIOBJ h) const {
    if (h) DeleteObject(h);
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDeleter>;

struct KeyCloser {
  void operator()(HKEY k) const {
    if (k) RegCloseKey(k);
  }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct WindowDestroyer {
  void operator()(HWND w) const {
    if (w && IsWindow(w)) DestroyWindow(w);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// --- Text conversion in the system's ANSI code page.
class AnsiCodec : public TextCodec {
 public:
  std::string ToAnsi(const std::wstring& text) override;
  std::wstring FromAnsi(const std::string& bytes) override;
};

// Other programs' windows, through the ANSI user32 calls. Sends wait a bounded time for
// the target, so a client that hangs cannot freeze this program.
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
  Delivery Send(Handle w, UINT msg, WPARAM wp, LPARAM lp);
  TextCodec& codec_;
  unsigned timeout_ms_;
};

// The message loop's one dispatch path: the program's own windows get keyboard navigation
// (Tab, access keys, Enter) through IsDialogMessage, in the main loop and in every wait.
class Win32EventPump : public EventPump {
 public:
  void AddDialogWindow(HWND w) { dialogs_.push_back(w); }
  void RemoveDialogWindow(HWND w);
  // Handles one message as the main loop does.
  void Handle(MSG& msg);
  // The main loop: returns the exit code when WM_QUIT arrives.
  int Run();

  void DispatchPending() override;
  void WaitAndDispatch(double max_seconds) override;

 private:
  std::vector<HWND> dialogs_;
};

class SteadyClock : public Clock {
 public:
  double NowSeconds() override;
};

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, REG_SZ values.
class RegistrySettings : public SettingsStore {
 public:
  std::wstring Get(const std::wstring& app, const std::wstring& section,
                   const std::wstring& key) override;
  bool Save(const std::wstring& app, const std::wstring& section, const std::wstring& key,
            const std::wstring& value) override;
};

class Win32FileOutput : public FileOutput {
 public:
  std::optional<FileError> WriteWhole(const std::wstring& path, const std::string& bytes) override;
};

class Win32Launcher : public Launcher {
 public:
  bool StartMinimized(const std::wstring& file_name) override;
};

// The platform's description of an error number, without the trailing line break.
std::wstring ErrorDescription(DWORD error);
// The full path of the running executable.
std::wstring ExecutablePath();

}  // namespace platform::win32
