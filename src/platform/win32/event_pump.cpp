#include "platform/win32/event_pump.h"

#include <algorithm>
#include <cmath>

namespace platform::win32 {
namespace {

constexpr wchar_t kWakeClass[] = L"ZureloWake";
constexpr UINT_PTR kDeadlineTimer = 1;
// The class atom of dialog boxes ("#32770"): message boxes and the common dialogs.
constexpr ULONG_PTR kDialogAtom = 32770;
// A timer's period is whole milliseconds, rounded up; a deadline this close to the armed
// one is the same deadline asked again.
constexpr double kTimerSlack = 0.002;

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
  // Only keyboard messages get anything from the dialog manager; it dispatches the rest
  // unchanged, so they skip the lookup of their top-level window.
  if (msg.hwnd && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    const HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (top && IsDialogLike(top) && IsDialogMessageW(top, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int Win32EventPump::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

void Win32EventPump::DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
    Dispatch(msg);
  }
}

void Win32EventPump::WaitAndDispatch(double max_seconds) {
  ArmTimer(max_seconds);
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0) ExitProcess(static_cast<UINT>(msg.wParam));
  if (got > 0) Dispatch(msg);
}

HWND Win32EventPump::WakeWindow() {
  if (wake_) return wake_.get();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, kWakeClass, &wc)) {
    wc.lpfnWndProc = &WakeProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWakeClass;
    RegisterClassW(&wc);
  }
  // A message-only window: never shown, not among the top-level windows.
  wake_.reset(
      CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
  if (wake_) SetWindowLongPtrW(wake_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return wake_.get();
}

LRESULT CALLBACK Win32EventPump::WakeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kDeadlineTimer) {
    // Whoever dispatched it (this wait or a modal loop inside it), the deadline has come.
    KillTimer(w, kDeadlineTimer);
    if (auto* pump = reinterpret_cast<Win32EventPump*>(GetWindowLongPtrW(w, GWLP_USERDATA))) {
      pump->timer_armed_ = false;
    }
    return 0;
  }
  if (msg == kWakeMessage) return 0;  // its arrival was the point
  return DefWindowProcW(w, msg, wp, lp);
}

void Win32EventPump::ArmTimer(double seconds) {
  // Bounded by the longest period a timer takes (USER_TIMER_MAXIMUM milliseconds).
  const double wanted = seconds > 0 ? std::min(seconds, 2147483.0) : 0.0;
  const double now = Now();
  if (timer_armed_ && timer_due_ <= now + wanted + kTimerSlack) return;
  const HWND wake = WakeWindow();
  if (!wake) return;
  // Rounded up, so the timer never fires just before the deadline and the wait spins.
  const UINT period =
      std::max<UINT>(USER_TIMER_MINIMUM, static_cast<UINT>(std::ceil(wanted * 1000.0)));
  timer_armed_ = SetTimer(wake, kDeadlineTimer, period, nullptr) != 0;
  timer_due_ = now + period / 1000.0;
}

double SteadyClock::NowSeconds() {
  return Now();
}

}  // namespace platform::win32
