#include "platform/win32/event_pump.h"

#include <algorithm>
#include <cmath>

namespace platform::win32 {

void Win32EventPump::RemoveDialogWindow(HWND w) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), w), dialogs_.end());
}

void Win32EventPump::Handle(MSG& msg) {
  for (HWND dialog : dialogs_) {
    if (msg.hwnd && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) &&
        IsDialogMessageW(dialog, &msg)) {
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int Win32EventPump::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Handle(msg);
  return static_cast<int>(msg.wParam);
}

void Win32EventPump::DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
    Handle(msg);
  }
}

void Win32EventPump::WaitAndDispatch(double max_seconds) {
  // Round up, so a wait never wakes just before its deadline and spins.
  const double ms = std::ceil(std::max(0.0, max_seconds) * 1000.0);
  const DWORD timeout = ms >= 4294967294.0 ? 4294967294u : static_cast<DWORD>(ms);
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DispatchPending();
}

double SteadyClock::NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

}  // namespace platform::win32
