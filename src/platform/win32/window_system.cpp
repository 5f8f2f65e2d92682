#include "platform/win32/window_system.h"

#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "platform/trace.h"
#include "platform/win32/handles.h"
#include "platform/win32/line_worker.h"
#include "platform/win32/window_search.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

constexpr UINT_PTR kCheckTimer = 1;
// How often the lines out are asked whether their client hung or went away.
constexpr UINT kCheckMs = 250;
// A worker that has not begun by then never will, as far as its line is concerned.
constexpr double kStartSeconds = 5.0;
// A line needs little stack; reserving the default megabyte for each would be waste.
constexpr SIZE_T kLineStackBytes = 256 * 1024;
constexpr wchar_t kNoticeClass[] = L"ZureloLines";
// A question still unanswered after this long is forgotten: an answer after it is dropped.
constexpr double kForgetQuestionSeconds = 600.0;

}  // namespace

Win32WindowSystem::~Win32WindowSystem() {
  // Workers still out keep their own share of their line; they tell nobody any more.
  if (notices_) SetWindowLongPtrW(notices_.get(), GWLP_USERDATA, 0);
  // Nor do answers still to come.
  auto& questions = Questions();
  for (auto it = questions.begin(); it != questions.end();) {
    it = it->second.asker == this ? questions.erase(it) : std::next(it);
  }
}

Handle Win32WindowSystem::FindTopLevel(const std::wstring& cls) {
  // The player is looked for by the same class every tick: its ANSI form is made once.
  if (cls != found_class_) {
    found_class_ansi_ = codec_.ToAnsi(cls);
    found_class_ = cls;
  }
  return FindTopLevelWindow(found_class_ansi_);
}

Handle Win32WindowSystem::FindChild(Handle parent, Handle child_after, const std::wstring& cls) {
  return FindChildWindow(codec_, parent, child_after, cls);
}

std::wstring Win32WindowSystem::GetTitle(Handle w, int max_count) {
  // Wide, so the title comes as the player holds it and not as look-alikes in the code page.
  return CaptionOf(AsHwnd(w), max_count);
}

HWND Win32WindowSystem::NoticeWindow() {
  if (notices_) return notices_.get();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, kNoticeClass, &wc)) {
    wc.lpfnWndProc = &NoticeProc;
    wc.hInstance = instance;
    wc.lpszClassName = kNoticeClass;
    RegisterClassW(&wc);
  }
  // A message-only window: never shown, not among the top-level windows.
  notices_.reset(CreateWindowExW(0, kNoticeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 instance, nullptr));
  if (notices_) SetWindowLongPtrW(notices_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return notices_.get();
}

LRESULT CALLBACK Win32WindowSystem::NoticeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kLineBackMessage || (msg == WM_TIMER && wp == kCheckTimer)) {
    auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    try {
      if (self) self->Check();
    } catch (...) {
      // Nothing may unwind into the window system.
      platform::Trace(L"the end of a chat line could not be told");
    }
    return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

bool Win32WindowSystem::StartLine(std::function<LineReport(LineWindows&)> steps,
                                  std::function<void(const LineEnd&)> ended) {
  const HWND notices = NoticeWindow();
  if (!notices) {
    platform::Trace(L"no window for chat lines' ends: the line is skipped");
    return false;
  }
  auto line = std::make_shared<LineWork>(std::move(steps), std::move(ended), codec_);
  line->notices = notices;
  line->start = clock_.NowSeconds();
  // A thread of the system's own making: its function runs whatever the C++ runtime's
  // thread records do, and a failure to make it is told at once.
  auto param = std::make_unique<std::shared_ptr<LineWork>>(line);
  const UniqueHandle thread(CreateThread(nullptr, kLineStackBytes, &RunLineThread, param.get(),
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread) {
    platform::Trace(L"no thread for a chat line (error " + std::to_wstring(GetLastError()) +
                    L"): the line is skipped");
    return false;
  }
  param.release();  // the worker owns it now
  lines_.push_back(std::move(line));
  SetTimer(notices, kCheckTimer, kCheckMs, nullptr);
  return true;
}

void Win32WindowSystem::Check() {
  const double now = clock_.NowSeconds();
  // The ends are told once the list is settled: whoever hears them may start new lines.
  std::vector<std::pair<std::shared_ptr<LineWork>, LineEnd>> ends;
  for (auto it = lines_.begin(); it != lines_.end();) {
    LineWork& line = **it;
    if (line.back.load()) {
      ends.push_back({*it, LineEnd{line.given_up.load(), true, line.report}});
      it = lines_.erase(it);
      continue;
    }
    int waiting = LineWork::kWaiting;
    if (now - line.start >= kStartSeconds &&
        line.state.compare_exchange_strong(waiting, LineWork::kAbandoned)) {
      // It will do nothing if it ever starts: the line is over.
      line.given_up.store(true);
      platform::Trace(L"a chat line's worker did not start: the line is given up");
      ends.push_back({*it, LineEnd{true, true, {}}});
      it = lines_.erase(it);
      continue;
    }
    const HWND target = line.sending.load();
    if (target && !line.given_up.load() && (!IsWindow(target) || IsHungAppWindow(target))) {
      line.given_up.store(true);
      platform::Trace(L"a chat client stopped answering: its line is given up");
      ends.push_back({*it, LineEnd{true, false, {}}});
    }
    ++it;
  }
  if (lines_.empty() && notices_) KillTimer(notices_.get(), kCheckTimer);
  for (auto& [line, end] : ends) line->ended(end);
}

std::map<ULONG_PTR, Win32WindowSystem::Question>& Win32WindowSystem::Questions() {
  // The answers come to the thread that asked, the interface thread, which alone uses this.
  static std::map<ULONG_PTR, Question> questions;
  return questions;
}

bool Win32WindowSystem::Ask(Handle w, unsigned message, std::uintptr_t wparam, std::intptr_t lparam,
                            std::function<void(std::intptr_t answer)> answered) {
  const double now = clock_.NowSeconds();
  auto& questions = Questions();
  for (auto it = questions.begin(); it != questions.end();) {
    it = now - it->second.asked_at >= kForgetQuestionSeconds ? questions.erase(it) : std::next(it);
  }
  static ULONG_PTR last_id = 0;
  const ULONG_PTR id = ++last_id;
  questions[id] = Question{this, now, std::move(answered)};
  if (!SendMessageCallbackW(AsHwnd(w), message, static_cast<WPARAM>(wparam),
                            static_cast<LPARAM>(lparam), &Answered, id)) {
    questions.erase(id);
    return false;
  }
  return true;
}

void CALLBACK Win32WindowSystem::Answered(HWND w, UINT, ULONG_PTR id, LRESULT answer) {
  auto& questions = Questions();
  const auto it = questions.find(id);
  if (it == questions.end()) return;
  const std::function<void(std::intptr_t)> answered = std::move(it->second.answered);
  questions.erase(it);
  // A window that ends before it answers is answered for with 0: that is no answer of its.
  if (!IsWindow(w)) return;
  try {
    answered(static_cast<std::intptr_t>(answer));
  } catch (...) {
    // Nothing may unwind into the window system.
    platform::Trace(L"an answer from another program could not be taken");
  }
}

std::optional<std::uint32_t> Win32WindowSystem::GetExStyle(Handle w) {
  // 0 is a style too: only the error tells a failed read from a window without any.
  SetLastError(0);
  const LONG style = GetWindowLongA(AsHwnd(w), GWL_EXSTYLE);
  if (style == 0 && GetLastError() != 0) return std::nullopt;
  return static_cast<std::uint32_t>(style);
}
bool Win32WindowSystem::SetExStyle(Handle w, std::uint32_t style) {
  SetLastError(0);
  return SetWindowLongA(AsHwnd(w), GWL_EXSTYLE, static_cast<LONG>(style)) != 0 ||
         GetLastError() == 0;
}
bool Win32WindowSystem::SetLayeredAlpha(Handle w, std::uint8_t alpha) {
  return SetLayeredWindowAttributes(AsHwnd(w), 0, alpha, LWA_ALPHA) != 0;
}

}  // namespace platform::win32
