#pragma once
// RAII owners for the Windows handles the program creates, and guards for the device
// context state it borrows.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace platform::win32 {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// A FindFirstFile search.
struct FindCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
using UniqueFind = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// Memory the system allocated with LocalAlloc for the caller (CommandLineToArgvW's array).
struct LocalFreer {
  void operator()(void* p) const {
    if (p) LocalFree(p);
  }
};
using UniqueArgv = std::unique_ptr<LPWSTR, LocalFreer>;

// A view of a file mapping, from MapViewOfFile.
struct ViewUnmapper {
  void operator()(void* p) const {
    if (p) UnmapViewOfFile(p);
  }
};
using UniqueView = std::unique_ptr<void, ViewUnmapper>;

struct GdiDeleter {
  void operator()(HGDIOBJ h) const {
    if (h) DeleteObject(h);
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;

// A device context made with CreateCompatibleDC or CreateDC.
struct DcDeleter {
  void operator()(HDC dc) const {
    if (dc) DeleteDC(dc);
  }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct KeyCloser {
  void operator()(HKEY k) const {
    if (k) RegCloseKey(k);
  }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct WindowDestroyer {
  void operator()(HWND w) const {
    if (w) DestroyWindow(w);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A window's (or, for no window, the screen's) device context from GetDC, given back with
// ReleaseDC: such a context is borrowed from a small shared pool, never deleted.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a pen, brush, font or bitmap into a device context and selects back what it
// replaced on destruction, so the object can be deleted and the context reused as it was.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {
    if (previous_ == HGDI_ERROR) previous_ = nullptr;
  }
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  // False when the object could not be selected.
  explicit operator bool() const { return previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace platform::win32
