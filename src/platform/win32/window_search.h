#pragma once
// Other programs' windows found by class through the ANSI user32 calls, the same on the
// interface thread and on a chat line's worker, and the conversions between the logic's
// handles and the system's.

#include <windows.h>

#include <string>

#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace platform::win32 {

inline HWND AsHwnd(Handle h) {
  return reinterpret_cast<HWND>(h);
}
inline Handle AsHandle(HWND w) {
  return reinterpret_cast<Handle>(w);
}

// FindWindowA(cls, NULL), the class already in the ANSI code page.
inline Handle FindTopLevelWindow(const std::string& ansi_cls) {
  return AsHandle(FindWindowA(ansi_cls.c_str(), nullptr));
}

// The same, the class converted to the ANSI code page.
inline Handle FindTopLevelWindow(TextCodec& codec, const std::wstring& cls) {
  return FindTopLevelWindow(codec.ToAnsi(cls));
}

// FindWindowExA(parent, child_after, cls, NULL), the class in the ANSI code page.
inline Handle FindChildWindow(TextCodec& codec, Handle parent, Handle child_after,
                              const std::wstring& cls) {
  const std::string c = codec.ToAnsi(cls);
  return AsHandle(FindWindowExA(AsHwnd(parent), AsHwnd(child_after), c.c_str(), nullptr));
}

}  // namespace platform::win32
