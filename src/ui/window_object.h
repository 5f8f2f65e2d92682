#pragma once
// A window that belongs to an object: the object is the creation parameter of
// CreateWindowEx, and Procedure hands it every message from WM_NCCREATE on. The base owns
// the tie between them (cut when the window is gone) and the commands: a click, an access
// key or a system-menu choice reaches the handler bound to its ID.

#include <windows.h>

#include <functional>
#include <map>

namespace ui {

class WindowObject {
 public:
  WindowObject() = default;
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;
  // A window still there when its object goes gets only the default handling from then on.
  virtual ~WindowObject();
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) = 0;
  // The window is gone (WM_NCDESTROY): hwnd_ is cleared right after this.
  virtual void WindowGone() {}
  // Registers the class with this base's procedure, once a process; false when it cannot.
  static bool RegisterWindowClass(WNDCLASSEXW wc);
  // Creates this object's top-level window, placed by the window system, without owner.
  bool CreateTopLevel(HINSTANCE instance, const wchar_t* cls, const wchar_t* caption, DWORD style,
                      DWORD ex_style, SIZE size);
  // The handler of a button's click (or its access key), or of a command of the system menu.
  void OnClick(int id, std::function<void()> handler) { clicks_[id] = std::move(handler); }
  void OnSystemCommand(unsigned command, std::function<void()> handler) {
    system_commands_[command] = std::move(handler);
  }
  HWND hwnd_ = nullptr;

 private:
  // The bound handler of a command message, run; false when none is bound to it.
  bool RunCommand(UINT msg, WPARAM wp);

  std::map<int, std::function<void()>> clicks_;
  std::map<unsigned, std::function<void()>> system_commands_;
};

}  // namespace ui
