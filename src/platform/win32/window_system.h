#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "platform/win32/event_pump.h"
#include "platform/win32/handles.h"
#include "platform/window_system.h"

namespace platform::win32 {

struct LineWork;

// Other programs' windows: searches through the ANSI user32 calls, titles and texts in
// Unicode. A line goes whole to a worker thread of its own and tells its end by a posted
// message, so a slow client gets every message however long it takes, and this program's
// windows keep answering meanwhile. While lines are out, a timer asks every quarter second
// whether a client a worker is blocked in hung or went away: only such a client is given up.
// A question to another window goes with SendMessageCallback: its answer comes back through
// the message loop, and a window that hangs just never answers.
class Win32WindowSystem : public WindowSystem {
 public:
  explicit Win32WindowSystem(TextCodec& codec) : codec_(codec) {}
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;
  ~Win32WindowSystem() override;

  Handle FindTopLevel(const std::wstring& cls) override;
  Handle FindChild(Handle parent, Handle child_after, const std::wstring& cls) override;
  std::wstring GetTitle(Handle w, int max_count) override;
  bool StartLine(std::function<LineReport(LineWindows&)> steps,
                 std::function<void(const LineEnd&)> ended) override;
  bool Ask(Handle w, unsigned message, std::uintptr_t wparam, std::intptr_t lparam,
           std::function<void(std::intptr_t answer)> answered) override;
  std::optional<std::uint32_t> GetExStyle(Handle w) override;
  bool SetExStyle(Handle w, std::uint32_t style) override;
  bool SetLayeredAlpha(Handle w, std::uint8_t alpha) override;

 private:
  static LRESULT CALLBACK NoticeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  HWND NoticeWindow();
  // Tells the ends of the lines whose workers are back, and gives up the lines whose client
  // hung or went away, or whose worker never started.
  void Check();
  static void CALLBACK Answered(HWND w, UINT msg, ULONG_PTR id, LRESULT answer);

  // A question not answered yet. One a window never answers is forgotten after a while, so
  // the list stays short however long a window hangs.
  struct Question {
    Win32WindowSystem* asker;
    double asked_at;
    std::function<void(std::intptr_t)> answered;
  };
  static std::map<ULONG_PTR, Question>& Questions();

  TextCodec& codec_;
  std::wstring found_class_;  // the class FindTopLevel last looked for, and its ANSI form
  std::string found_class_ansi_;
  SteadyClock clock_;
  UniqueWindow notices_;  // a message-only window: lines' ends and the check timer
  std::vector<std::shared_ptr<LineWork>> lines_;  // workers not back yet
};

}  // namespace platform::win32
