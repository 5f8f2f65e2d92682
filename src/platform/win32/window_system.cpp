#include "platform/win32/window_system.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "platform/trace.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

HWND H(Handle h) {
  return reinterpret_cast<HWND>(h);
}
Handle Of(HWND w) {
  return reinterpret_cast<Handle>(w);
}

Handle FindTop(TextCodec& codec, const std::wstring& cls) {
  const std::string c = codec.ToAnsi(cls);
  return Of(FindWindowA(c.c_str(), nullptr));
}

Handle FindUnder(TextCodec& codec, Handle parent, Handle child_after, const std::wstring& cls) {
  const std::string c = codec.ToAnsi(cls);
  return Of(FindWindowExA(H(parent), H(child_after), c.c_str(), nullptr));
}

// A text as the window system converts it for an ANSI window that is sent it wide.
std::string ToAnsiAsSent(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  return bytes;
}

// A press and a release at the button's corner (0, 0): a standard button takes the pair
// as one click. To the button, wParam is the key flags of the mouse message: 13 reads as
// MK_LBUTTON | MK_SHIFT | MK_CONTROL, which a button ignores. 13 is sent because the chat
// clients have always been given the Enter key's code with a button activation.
constexpr WPARAM kButtonFlags = 13;

// Posted to the notice window by a worker that is back.
constexpr UINT kLineBackMessage = WM_APP + 0x3A0;
constexpr UINT_PTR kCheckTimer = 1;
// How often the lines out are asked whether their client hung or went away.
constexpr UINT kCheckMs = 250;
// A worker that has not begun by then never will, as far as its line is concerned.
constexpr double kStartSeconds = 5.0;
// A line needs little stack; reserving the default megabyte for each would be waste.
constexpr SIZE_T kLineStackBytes = 256 * 1024;
constexpr wchar_t kNoticeClass[] = L"ZureloLines";

// Who runs a line: its worker, or nobody, when the interface thread gave up waiting for
// the worker to start. Exactly one of them wins.
enum LineState : int { kWaiting, kRunning, kAbandoned };

}  // namespace

// One line on its way, shared by the interface thread and the worker that runs it: a line
// given up on may still be running long after the interface thread has moved on.
struct LineWork {
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

namespace {

// The window system as a line's worker sees it: searches as on any thread, sends that
// block until the client has handled them. Before each send it asks whether the client
// hung; once the line is given up, by either side, nothing more is sent, and the box is
// only read and set back.
class Win32LineWindows final : public LineWindows {
 public:
  explicit Win32LineWindows(LineWork& line) : line_(line) {}

  Handle FindTopLevel(const std::wstring& cls) override { return FindTop(line_.codec, cls); }
  Handle FindChild(Handle parent, Handle after, const std::wstring& cls) override {
    return FindUnder(line_.codec, parent, after, cls);
  }
  // Sent wide with a text: the window system hands the text as it is to a Unicode window
  // and converts it to the ANSI code page for an ANSI one, as for every text it receives.
  Delivery SendText(Handle w, const std::wstring& text) override {
    return Call(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), true, true).second;
  }
  Delivery SendChar(Handle w, unsigned code) override { return Send(w, WM_CHAR, code); }
  Delivery SendKeyDown(Handle w, unsigned vk) override { return Send(w, WM_KEYDOWN, vk); }
  Delivery SendKeyUp(Handle w, unsigned vk) override { return Send(w, WM_KEYUP, vk); }
  Delivery SendButtonDown(Handle w) override { return Send(w, WM_LBUTTONDOWN, kButtonFlags); }
  Delivery SendButtonUp(Handle w) override { return Send(w, WM_LBUTTONUP, kButtonFlags); }

  std::optional<BoxText> ReadBox(Handle box) override {
    BoxText now;
    now.unicode = box && IsWindowUnicode(H(box));
    bool answered = true;
    const auto send = [&](UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
      const auto [answer, delivery] = Call(box, msg, wp, lp, now.unicode, false);
      *result = static_cast<DWORD_PTR>(answer);
      answered = answered && Went(delivery);
      return Went(delivery);
    };
    if (now.unicode) {
      now.text = ReadText<wchar_t>(send);
    } else {
      now.bytes = ReadText<char>(send);
    }
    if (!answered) return std::nullopt;
    if (now.empty()) return now;
    // The selection comes in the result, which needs no pointer into this process.
    const auto [selection, delivery] = Call(box, EM_GETSEL, 0, 0, true, false);
    if (!Went(delivery)) return std::nullopt;
    now.sel_start = LOWORD(static_cast<DWORD>(selection));
    now.sel_end = HIWORD(static_cast<DWORD>(selection));
    return now;
  }

  bool WriteBox(Handle box, const BoxText& text) override {
    const LPARAM lp = text.unicode ? reinterpret_cast<LPARAM>(text.text.c_str())
                                   : reinterpret_cast<LPARAM>(text.bytes.c_str());
    if (!Went(Call(box, WM_SETTEXT, 0, lp, text.unicode, false).second)) return false;
    Call(box, EM_SETSEL, text.sel_start, text.sel_end, true, false);
    return true;
  }

  BoxText AsTyped(Handle box, const std::wstring& text) override {
    BoxText typed;
    typed.unicode = box && IsWindowUnicode(H(box));
    if (typed.unicode) {
      typed.text = text;
    } else {
      typed.bytes = ToAnsiAsSent(text);
    }
    return typed;
  }

  bool GivenUp() override { return line_.given_up.load(); }

 private:
  static bool Went(Delivery d) { return d == Delivery::kHandled || d == Delivery::kHandledLate; }

  Delivery Send(Handle w, UINT msg, WPARAM wp) { return Call(w, msg, wp, 0, false, true).second; }

  // One message. A send of the line (gated) goes only while the line is not given up; no
  // message goes to a client reported hung (it could only queue up behind the hang). The
  // result is the message's own, 0 when it was not sent.
  std::pair<LRESULT, Delivery> Call(Handle w, UINT msg, WPARAM wp, LPARAM lp, bool wide,
                                    bool gated) {
    if (gated && line_.given_up.load()) return {0, Delivery::kNotSent};
    const HWND target = H(w);
    if (!target || !IsWindow(target)) return {0, Delivery::kNoWindow};
    if (IsHungAppWindow(target)) {
      if (gated && !line_.given_up.exchange(true)) {
        platform::Trace(L"a chat client is not responding: its line is given up");
      }
      return {0, Delivery::kNotSent};
    }
    line_.sending.store(target);
    const LRESULT result =
        wide ? SendMessageW(target, msg, wp, lp) : SendMessageA(target, msg, wp, lp);
    line_.sending.store(nullptr);
    return {result, line_.given_up.load() ? Delivery::kHandledLate : Delivery::kHandled};
  }

  LineWork& line_;
};

DWORD WINAPI RunLineThread(void* param) {
  const std::unique_ptr<std::shared_ptr<LineWork>> owner(
      static_cast<std::shared_ptr<LineWork>*>(param));
  LineWork& line = **owner;
  int waiting = kWaiting;
  if (line.state.compare_exchange_strong(waiting, kRunning)) {
    try {
      Win32LineWindows windows(line);
      line.report = line.steps(windows);
    } catch (...) {
      // Nothing may leave a thread's function; the line simply ends here.
      platform::Trace(L"a chat line failed on its way and was cut short");
    }
  }
  line.back.store(true);
  PostMessageW(line.notices, kLineBackMessage, 0, 0);
  return 0;
}

}  // namespace

Win32WindowSystem::~Win32WindowSystem() {
  // Workers still out keep their own share of their line; they tell nobody any more.
  if (notices_) SetWindowLongPtrW(notices_.get(), GWLP_USERDATA, 0);
}

Handle Win32WindowSystem::FindTopLevel(const std::wstring& cls) {
  return FindTop(codec_, cls);
}

Handle Win32WindowSystem::FindChild(Handle parent, Handle child_after, const std::wstring& cls) {
  return FindUnder(codec_, parent, child_after, cls);
}

std::wstring Win32WindowSystem::GetTitle(Handle w, int max_count) {
  if (max_count <= 0) return {};
  // Wide, so the title comes as the player holds it and not as look-alikes in the code page.
  std::wstring buffer(static_cast<std::size_t>(max_count), L'\0');
  const int n = GetWindowTextW(H(w), buffer.data(), max_count);
  buffer.resize(static_cast<std::size_t>(std::clamp(n, 0, max_count - 1)));
  return buffer;
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
    int waiting = kWaiting;
    if (now - line.start >= kStartSeconds &&
        line.state.compare_exchange_strong(waiting, kAbandoned)) {
      // It will do nothing if it ever starts: the line is over.
      line.given_up.store(true);
      platform::Trace(L"a chat line's worker did not start: the line is skipped");
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

std::optional<std::uint32_t> Win32WindowSystem::GetExStyle(Handle w) {
  return static_cast<std::uint32_t>(GetWindowLongA(H(w), GWL_EXSTYLE));
}
bool Win32WindowSystem::SetExStyle(Handle w, std::uint32_t style) {
  SetLastError(0);
  return SetWindowLongA(H(w), GWL_EXSTYLE, static_cast<LONG>(style)) != 0 || GetLastError() == 0;
}
bool Win32WindowSystem::SetLayeredAlpha(Handle w, std::uint8_t alpha) {
  return SetLayeredWindowAttributes(H(w), 0, alpha, LWA_ALPHA) != 0;
}

}  // namespace platform::win32
