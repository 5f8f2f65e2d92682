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

// One line on its way, shared by the interface thread and the worker that runs it: a line
// given up on may still be running long after the interface thread has moved on.
struct Line {
  Line(std::function<bool(ChatLine&)> s, TextCodec& c) : steps(std::move(s)), codec(c) {}
  std::function<bool(ChatLine&)> steps;
  TextCodec& codec;
  HWND wake = nullptr;
  std::atomic<bool> started{false};
  std::atomic<bool> done{false};
  std::atomic<bool> given_up{false};
  std::atomic<bool> found_box{false};
  std::atomic<HWND> sending{nullptr};  // the window a send of the worker is blocked on
};

// The window system as a line's worker sees it: searches as on any thread, sends that
// block until the client has handled them. Between the steps it asks whether the client
// hung; once the line is given up, by either side, nothing more is sent.
class LineWindows final : public ChatLine {
 public:
  explicit LineWindows(Line& line) : line_(line) {}

  Handle FindTopLevel(const std::wstring& cls) override { return FindTop(line_.codec, cls); }
  Handle FindChild(Handle parent, Handle after, const std::wstring& cls) override {
    return FindUnder(line_.codec, parent, after, cls);
  }
  Delivery SendText(Handle w, const std::wstring& text) override {
    return Send(w, WM_SETTEXT, 0, &text);
  }
  Delivery SendChar(Handle w, unsigned code) override { return Send(w, WM_CHAR, code); }
  Delivery SendKeyDown(Handle w, unsigned vk) override { return Send(w, WM_KEYDOWN, vk); }
  Delivery SendKeyUp(Handle w, unsigned vk) override { return Send(w, WM_KEYUP, vk); }
  Delivery SendButtonDown(Handle w) override { return Send(w, WM_LBUTTONDOWN, kButtonFlags); }
  Delivery SendButtonUp(Handle w) override { return Send(w, WM_LBUTTONUP, kButtonFlags); }

  Draft ReadDraft(Handle box, const std::wstring& ours) override {
    Draft draft;
    draft.unicode = box && IsWindowUnicode(H(box));
    const auto send = [&](UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
      const auto [answer, delivery] = Call(box, msg, wp, lp, draft.unicode);
      *result = static_cast<DWORD_PTR>(answer);
      return delivery == Delivery::kDone;
    };
    if (draft.unicode) {
      draft.text = ReadText<wchar_t>(send);
    } else {
      draft.bytes = ReadText<char>(send);
    }
    if (draft.empty()) return {};
    // Our own line, left there by a client that did not take it, is nobody's draft. An ANSI
    // box holds it as the window system converted it.
    if (draft.unicode ? draft.text == ours : draft.bytes == ToAnsiAsSent(ours)) return {};
    // The selection comes in the result, which needs no pointer into this process.
    const auto selection = static_cast<DWORD>(Call(box, EM_GETSEL, 0, 0, true).first);
    draft.sel_start = LOWORD(selection);
    draft.sel_end = HIWORD(selection);
    return draft;
  }

  Delivery PutBackDraft(Handle box, const Draft& draft) override {
    const auto [length, answered] = Call(box, WM_GETTEXTLENGTH, 0, 0, draft.unicode);
    if (answered != Delivery::kDone || length != 0) return answered;
    const LPARAM text = draft.unicode ? reinterpret_cast<LPARAM>(draft.text.c_str())
                                      : reinterpret_cast<LPARAM>(draft.bytes.c_str());
    if (Call(box, WM_SETTEXT, 0, text, draft.unicode).second != Delivery::kDone) {
      return Delivery::kNoAnswer;
    }
    return Call(box, EM_SETSEL, draft.sel_start, draft.sel_end, true).second;
  }

 private:
  Delivery Send(Handle w, UINT msg, WPARAM wp, const std::wstring* text = nullptr) {
    // Sent wide with a text: the window system hands the text as it is to a Unicode window
    // and converts it to the ANSI code page for an ANSI one, as for every text it receives.
    const auto lp = text ? reinterpret_cast<LPARAM>(text->c_str()) : 0;
    return Call(w, msg, wp, lp, text != nullptr).second;
  }

  // One message, with the checks between the steps of a line: nothing once the line is
  // given up, nothing to a client reported hung (it could only queue up behind the hang).
  // The result is the message's own, 0 when it was not sent.
  std::pair<LRESULT, Delivery> Call(Handle w, UINT msg, WPARAM wp, LPARAM lp, bool wide) {
    if (line_.given_up.load()) return {0, Delivery::kNoAnswer};
    const HWND target = H(w);
    // A message to no window has no effect.
    if (!target || !IsWindow(target)) return {0, Delivery::kDone};
    if (IsHungAppWindow(target)) {
      line_.given_up.store(true);
      platform::Trace(L"a chat client is not responding: its line is skipped");
      return {0, Delivery::kNoAnswer};
    }
    line_.sending.store(target);
    const LRESULT result =
        wide ? SendMessageW(target, msg, wp, lp) : SendMessageA(target, msg, wp, lp);
    line_.sending.store(nullptr);
    return {result, line_.given_up.load() ? Delivery::kNoAnswer : Delivery::kDone};
  }

  Line& line_;
};

DWORD WINAPI RunLineThread(void* param) {
  const std::unique_ptr<std::shared_ptr<Line>> owner(static_cast<std::shared_ptr<Line>*>(param));
  Line& line = **owner;
  line.started.store(true);
  try {
    LineWindows windows(line);
    if (!line.given_up.load()) line.found_box.store(line.steps(windows));
  } catch (...) {
    // Nothing may leave a thread's function; the line simply ends here.
    platform::Trace(L"a chat line failed on its way and was cut short");
  }
  // Set before the wake, so a wait that misses the wake (a modal loop inside it took the
  // message) still finds the flag when it looks again.
  line.done.store(true);
  if (line.wake) PostMessageW(line.wake, Win32EventPump::kWakeMessage, 0, 0);
  return 0;
}

// How often a waiting line asks whether its client hung or went away.
constexpr double kCheckSeconds = 0.25;
// A worker that has not begun by then never will, as far as this line is concerned.
constexpr double kStartSeconds = 5.0;
// A line needs little stack; reserving the default megabyte for each would be waste.
constexpr SIZE_T kLineStackBytes = 256 * 1024;

}  // namespace

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

Delivery Win32WindowSystem::RunLine(std::function<bool(ChatLine&)> steps) {
  auto line = std::make_shared<Line>(std::move(steps), codec_);
  line->wake = pump_.WakeWindow();
  // A thread of the system's own making: its function runs whatever the C++ runtime's
  // thread records do, and a failure to make it is told at once.
  auto param = std::make_unique<std::shared_ptr<Line>>(line);
  const UniqueHandle thread(CreateThread(nullptr, kLineStackBytes, &RunLineThread, param.get(),
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread) {
    platform::Trace(L"no thread for a chat line (error " + std::to_wstring(GetLastError()) +
                    L"): the line is skipped");
    return Delivery::kNoAnswer;
  }
  param.release();  // the worker owns it now

  const double start = clock_.NowSeconds();
  double next_check = start + kCheckSeconds;
  while (!line->done.load()) {
    const double now = clock_.NowSeconds();
    if (now >= next_check) {
      if (!line->started.load() && now - start >= kStartSeconds) {
        line->given_up.store(true);
        platform::Trace(L"a chat line's worker did not start: the line is skipped");
        return Delivery::kNoAnswer;
      }
      const HWND target = line->sending.load();
      if (target && (!IsWindow(target) || IsHungAppWindow(target))) {
        line->given_up.store(true);
        platform::Trace(L"a chat client stopped answering: the rest of its line is given up");
        return Delivery::kNoAnswer;
      }
      next_check = now + kCheckSeconds;
    }
    pump_.WaitAndDispatch(next_check - now);
  }
  if (line->given_up.load()) return Delivery::kNoAnswer;
  return line->found_box.load() ? Delivery::kDone : Delivery::kNoTarget;
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
