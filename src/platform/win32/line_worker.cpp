#include "platform/win32/line_worker.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/trace.h"
#include "platform/win32/window_search.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {
namespace {

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
// as one click. Each goes with wParam 13, the Enter key's code, for every client alike; to a
// button wParam is the mouse message's key flags, and 13 reads as MK_LBUTTON | MK_SHIFT |
// MK_CONTROL, which it ignores, so the click stays a plain one.
constexpr WPARAM kButtonFlags = 13;

// The windows as a line's worker reaches them: searches as on any thread, sends that
// block until the client has handled them. Before each send it asks whether the client
// hung; once the line is given up, by either side, nothing more is sent, and the box is
// only read and set back.
class Win32LineWindows final : public LineWindows {
 public:
  explicit Win32LineWindows(LineWork& line) : line_(line) {}

  Handle FindTopLevel(const std::wstring& cls) override {
    return FindTopLevelWindow(line_.codec, cls);
  }
  Handle FindChild(Handle parent, Handle after, const std::wstring& cls) override {
    return FindChildWindow(line_.codec, parent, after, cls);
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
    now.unicode = box && IsWindowUnicode(AsHwnd(box));
    bool answered = true;
    const auto send = [&](UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
      const auto [answer, delivery] = Call(box, msg, wp, lp, now.unicode, false);
      *result = static_cast<DWORD_PTR>(answer);
      answered = answered && WasHandled(delivery);
      return WasHandled(delivery);
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
    if (!WasHandled(delivery)) return std::nullopt;
    now.sel_start = LOWORD(static_cast<DWORD>(selection));
    now.sel_end = HIWORD(static_cast<DWORD>(selection));
    return now;
  }

  bool WriteBox(Handle box, const BoxText& text) override {
    const LPARAM lp = text.unicode ? reinterpret_cast<LPARAM>(text.text.c_str())
                                   : reinterpret_cast<LPARAM>(text.bytes.c_str());
    if (!WasHandled(Call(box, WM_SETTEXT, 0, lp, text.unicode, false).second)) return false;
    Call(box, EM_SETSEL, text.sel_start, text.sel_end, true, false);
    return true;
  }

  BoxText AsTyped(Handle box, const std::wstring& text) override {
    BoxText typed;
    typed.unicode = box && IsWindowUnicode(AsHwnd(box));
    if (typed.unicode) {
      typed.text = text;
    } else {
      typed.bytes = ToAnsiAsSent(text);
    }
    return typed;
  }

  bool GivenUp() override { return line_.given_up.load(); }

 private:
  Delivery Send(Handle w, UINT msg, WPARAM wp) { return Call(w, msg, wp, 0, false, true).second; }

  // One message. A send of the line (gated) goes only while the line is not given up; no
  // message goes to a client reported hung (it could only queue up behind the hang). The
  // result is the message's own, 0 when it was not sent.
  std::pair<LRESULT, Delivery> Call(Handle w, UINT msg, WPARAM wp, LPARAM lp, bool wide,
                                    bool gated) {
    if (gated && line_.given_up.load()) return {0, Delivery::kNotSent};
    const HWND target = AsHwnd(w);
    if (!target || !IsWindow(target)) return {0, Delivery::kNoWindow};
    // After a give-up the worker is back because the client answered it: setting the box
    // back is not held off by a hung report that has not caught up with that yet.
    const bool setting_back = !gated && line_.given_up.load();
    if (!setting_back && IsHungAppWindow(target)) {
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

}  // namespace

DWORD WINAPI RunLineThread(void* param) {
  const std::unique_ptr<std::shared_ptr<LineWork>> owner(
      static_cast<std::shared_ptr<LineWork>*>(param));
  LineWork& line = **owner;
  int waiting = LineWork::kWaiting;
  if (line.state.compare_exchange_strong(waiting, LineWork::kRunning)) {
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

}  // namespace platform::win32
