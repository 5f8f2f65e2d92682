#pragma once
// A chat line's worker: the thread that runs one line's steps against the client's windows,
// and what it shares with the interface thread that started it.

#include <windows.h>

#include <atomic>
#include <functional>
#include <utility>

#include "platform/text_codec.h"
#include "platform/window_system.h"

namespace platform::win32 {

// Posted to the notice window by a worker that is back.
inline constexpr UINT kLineBackMessage = WM_APP + 0x3A0;

// One line on its way, shared by the interface thread and the worker that runs it: a line
// given up on may still be running long after the interface thread has moved on.
struct LineWork {
  // Who runs the line: its worker, or nobody, when the interface thread gave up waiting for
  // the worker to start. Exactly one of them wins.
  enum State : int { kWaiting, kRunning, kAbandoned };

  LineWork(std::function<LineReport(LineWindows&)> s, std::function<void(const LineEnd&)> e,
           TextCodec& c)
      : steps(std::move(s)), ended(std::move(e)), codec(c) {}
  std::function<LineReport(LineWindows&)> steps;
  std::function<void(const LineEnd&)> ended;  // the interface thread's only
  TextCodec& codec;
  HWND notices = nullptr;
  double start = 0;
  std::atomic<int> state{kWaiting};
  std::atomic<bool> given_up{false};
  std::atomic<bool> back{false};
  std::atomic<HWND> sending{nullptr};  // the window a send of the worker is blocked on
  LineReport report;                   // the worker's, written before back
};

// The worker's thread function. param is a std::shared_ptr<LineWork> on the heap, which the
// worker owns from then on. It runs the steps unless the line was abandoned, and posts
// kLineBackMessage to the line's notice window when it is back.
DWORD WINAPI RunLineThread(void* param);

}  // namespace platform::win32
