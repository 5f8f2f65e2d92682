#include "platform/win32/event_pump.h"

#include <algorithm>

namespace platform::win32 {
namespace {

// The class atom of dialog boxes ("#32770"): message boxes and the common dialogs.
constexpr ULONG_PTR kDialogAtom = 32770;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

}  // namespace

void Win32EventPump::RemoveDialogWindow(HWND w) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), w), dialogs_.end());
}

bool Win32EventPump::IsDialogLike(HWND top) const {
  if (std::find(dialogs_.begin(), dialogs_.end(), top) != dialogs_.end()) return true;
  return GetClassLongPtrW(top, GCW_ATOM) == kDialogAtom;
}

void Win32EventPump::Dispatch(MSG& msg) {
  // Only keyboard messages get anything from the dialog manager or from TranslateMessage;
  // the rest, the timers above all, go straight to their window.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    const HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogLike(top) && IsDialogMessageW(top, &msg)) return;
    TranslateMessage(&msg);
  }
  DispatchMessageW(&msg);
}

int Win32EventPump::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

double SteadyClock::NowSeconds() {
  return Now();
}

}  // namespace platform::win32
