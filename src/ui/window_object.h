#pragma once
// A window that belongs to an object: the object is the creation parameter of
// CreateWindowEx, and Procedure hands it every message from WM_NCCREATE on.

#include <windows.h>

namespace ui {

class WindowObject {
 public:
  virtual ~WindowObject() = default;
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) = 0;
  // Registers the class with this base's procedure, once a process; false when it cannot.
  static bool RegisterWindowClass(WNDCLASSEXW wc);
  // Creates this object's top-level window, placed by the window system, without owner.
  bool CreateTopLevel(HINSTANCE instance, const wchar_t* cls, const wchar_t* caption, DWORD style,
                      DWORD ex_style, SIZE size);
  // Detaches the object from its window, which then gets the default handling only.
  void Detach();
  HWND hwnd_ = nullptr;
};

}  // namespace ui
