#include "platform/win32/line_worker.h"

#include <algorithm>
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
    const bool read =
        now.unicode ? ReadWhole(box, true, now.text) : ReadWhole(box, false, now.bytes);
    if (!read) return std::nullopt;
    if (now.empty()) return now;
    // The selection comes in the result, which needs no pointer into this process. Read
    // after the text, it may count keys typed since: it is kept within the text read.
    const auto [selection, delivery] = Call(box, EM_GETSEL, 0, 0, true, false);
    if (!WasHandled(delivery)) return std::nullopt;
    const auto length = static_cast<unsigned>(now.unicode ? now.text.size() : now.bytes.size());
    now.sel_start = std::min<unsigned>(LOWORD(static_cast<DWORD>(selection)), length);
    now.sel_end = std::min<unsigned>(HIWORD(static_cast<DWORD>(selection)), length);
    return now;
  }

  std::optional<bool> BoxHolds(Handle box, const BoxText& text) override {
    // One WM_GETTEXT into room for one unit more than the text: a longer text fills it.
    if (text.unicode) {
      std::wstring got;
      if (!ReadInto(box, true, text.text.size() + 2, got)) return std::nullopt;
      return got == text.text;
    }
    std::string got;
    if (!ReadInto(box, false, text.bytes.size() + 2, got)) return std::nullopt;
    return got == text.bytes;
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
  void Wait(unsigned ms) override { Sleep(ms); }

 private:
  Delivery Send(Handle w, UINT msg, WPARAM wp) { return Call(w, msg, wp, 0, false, true).second; }

  // WM_GETTEXT into a buffer of room units; what came, at most room - 1 units.
  template <typename Text>
  bool ReadInto(Handle box, bool wide, std::size_t room, Text& text) {
    text.assign(room, typename Text::value_type{});
    const auto [got, delivery] =
        Call(box, WM_GETTEXT, room, reinterpret_cast<LPARAM>(text.data()), wide, false);
    if (!WasHandled(delivery)) return false;
    text.resize(std::min(static_cast<std::size_t>(got), room - 1));
    return true;
  }

  // The whole text, however it grows while it is read: keys the user types between the
  // length and the text make the text fill its buffer, and it is read again.
  template <typename Text>
  bool ReadWhole(Handle box, bool wide, Text& text) {
    constexpr int kTries = 4;
    for (int i = 0; i < kTries; ++i) {
      const auto [length, delivery] = Call(box, WM_GETTEXTLENGTH, 0, 0, wide, false);
      if (!WasHandled(delivery)) return false;
      if (length <= 0) {
        text.clear();
        return true;
      }
      // Room for two units more than the length: one for the NUL, one that only a longer
      // text fills.
      const std::size_t room = static_cast<std::size_t>(length) + 2;
      if (!ReadInto(box, wide, room, text)) return false;
      if (text.size() < room - 1) return true;
    }
    return true;  // still growing: as much as the last read held
  }

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
