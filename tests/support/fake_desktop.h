#pragma once
// An in-memory desktop: a tree of windows (class, text, child order) that answers the
// window-system seam and records every call made to it, in order.

#include <algorithm>
#include <cwctype>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace fakes {

using platform::BoxText;
using platform::Delivery;
using platform::Handle;

struct Message {
  Handle target;
  std::wstring kind;  // "text", "char", "keydown", "keyup", "down", "up", "box" (set back)
  std::wstring text;  // for "text"
  unsigned code = 0;  // character, key or wParam
  bool operator==(const Message& o) const {
    return target == o.target && kind == o.kind && text == o.text && code == o.code;
  }
};

// Failure messages show a message as it reads.
inline void PrintTo(const Message& m, std::ostream* os) {
  *os << "{" << m.target << " ";
  for (const wchar_t c : m.kind + L" \"" + m.text + L"\"")
    *os << static_cast<char>(c < 128 ? c : '?');
  *os << " " << m.code << "}";
}

// Both sides of the window system: the worker of a line is this thread here.
class FakeDesktop : public platform::WindowSystem, public platform::LineWindows {
 public:
  struct Window {
    Handle parent = 0;
    std::wstring cls;
    std::wstring text;
    std::vector<Handle> children;
    std::optional<std::uint32_t> ex_style = 0;
    std::optional<std::uint8_t> alpha;
    bool hung = false;  // reported hung: nothing is sent to it
    // Hangs while it handles the next message of this kind ("read" for a read of the box):
    // the line is given up meanwhile, and the message is handled late; then the window
    // answers again.
    std::wstring late_on;
    unsigned sel_start = 0, sel_end = 0;
  };

  // Adds a window at the end of its parent's child order (parent 0: top level).
  Handle Add(Handle parent, const std::wstring& cls, const std::wstring& text = L"") {
    const Handle h = next_++;
    windows_[h] = Window{parent, cls, text, {}, 0, std::nullopt, false, L"", 0, 0};
    (parent == 0 ? top_ : windows_.at(parent).children).push_back(h);
    return h;
  }
  void Remove(Handle h) {
    auto it = windows_.find(h);
    if (it == windows_.end()) return;
    for (Handle c : std::vector<Handle>(it->second.children)) Remove(c);
    auto& siblings = it->second.parent == 0 ? top_ : windows_.at(it->second.parent).children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    windows_.erase(h);
  }
  bool Exists(Handle h) const { return windows_.count(h) != 0; }
  Window& At(Handle h) { return windows_.at(h); }
  void SetText(Handle h, const std::wstring& t) { windows_.at(h).text = t; }

  // Every search, read and send, in order, as short readable lines.
  std::vector<std::wstring> calls;
  // Every message that reached a window, in order.
  std::vector<Message> messages;
  // Called after each message is delivered (to simulate the client reacting).
  std::function<void(const Message&)> on_message;

  std::vector<Message> MessagesTo(Handle h) const {
    std::vector<Message> out;
    for (const auto& m : messages)
      if (m.target == h) out.push_back(m);
    return out;
  }

  // --- platform::WindowSystem
  Handle FindTopLevel(const std::wstring& cls) override {
    const Handle h = FirstOf(top_, 0, cls);
    calls.push_back(L"top " + cls + L" -> " + std::to_wstring(h));
    return h;
  }
  Handle FindChild(Handle parent, Handle after, const std::wstring& cls) override {
    Handle h = 0;
    if (parent == 0) {
      h = FirstOf(top_, after, cls);
    } else if (windows_.count(parent)) {
      h = FirstOf(windows_.at(parent).children, after, cls);
    }
    calls.push_back(L"child " + std::to_wstring(parent) + L" " + std::to_wstring(after) + L" " +
                    cls + L" -> " + std::to_wstring(h));
    return h;
  }
  std::wstring GetTitle(Handle w, int max_count) override {
    calls.push_back(L"title " + std::to_wstring(w));
    auto it = windows_.find(w);
    if (it == windows_.end() || max_count <= 0) return L"";
    return it->second.text.substr(0, static_cast<std::size_t>(max_count - 1));
  }
  Delivery SendText(Handle w, const std::wstring& text) override {
    return Deliver({w, L"text", text, 0}, true, [&](Window& win) {
      win.text = text;
      win.sel_start = win.sel_end = 0;
    });
  }
  Delivery SendChar(Handle w, unsigned code) override {
    return Deliver({w, L"char", L"", code}, true);
  }
  Delivery SendKeyDown(Handle w, unsigned vk) override {
    return Deliver({w, L"keydown", L"", vk}, true);
  }
  Delivery SendKeyUp(Handle w, unsigned vk) override {
    return Deliver({w, L"keyup", L"", vk}, true);
  }
  Delivery SendButtonDown(Handle w) override { return Deliver({w, L"down", L"", 13}, true); }
  Delivery SendButtonUp(Handle w) override { return Deliver({w, L"up", L"", 13}, true); }
  // Reading and setting back a box are not among the calls, so that the senders' searches
  // and sends read as they are; a box set back shows among the messages.
  std::optional<BoxText> ReadBox(Handle w) override {
    auto it = windows_.find(w);
    if (it == windows_.end() || it->second.hung) return std::nullopt;
    if (it->second.late_on == L"read") {
      it->second.late_on.clear();
      given_up_ = true;
    }
    BoxText t;
    t.text = it->second.text;
    if (!t.text.empty()) {
      t.sel_start = it->second.sel_start;
      t.sel_end = it->second.sel_end;
    }
    return t;
  }
  std::optional<bool> BoxHolds(Handle w, const BoxText& t) override {
    const std::optional<BoxText> now = ReadBox(w);
    if (!now) return std::nullopt;
    return now->text == t.text;
  }
  bool WriteBox(Handle w, const BoxText& t) override {
    return platform::WasHandled(Deliver({w, L"box", t.text, 0}, false, [&](Window& win) {
      win.text = t.text;
      win.sel_start = t.sel_start;
      win.sel_end = t.sel_end;
    }));
  }
  BoxText AsTyped(Handle, const std::wstring& text) override {
    BoxText t;
    t.text = text;
    return t;
  }
  bool GivenUp() override { return given_up_; }
  void Wait(unsigned ms) override {
    waited_ms += ms;
    if (on_wait) on_wait();
  }
  unsigned waited_ms = 0;  // how long lines' workers have slept, in all
  // Called after each sleep of a worker (to simulate a client that takes its time).
  std::function<void()> on_wait;

  // The worker is this thread: the steps run at once. Their end is told when the test lets
  // it (EndLines); a line given up is told given up then, and its worker back only at
  // WorkersBack, so the test can look at the time between.
  bool StartLine(std::function<platform::LineReport(platform::LineWindows&)> steps,
                 std::function<void(const platform::LineEnd&)> ended) override {
    ++lines;
    if (refuse_lines) return false;
    given_up_ = false;
    const platform::LineReport report = steps(*this);
    if (given_up_) {
      ends_.push_back([ended] { ended({true, false, {}}); });
      backs_.push_back([ended, report] { ended({true, true, report}); });
    } else {
      ends_.push_back([ended, report] { ended({false, true, report}); });
    }
    return true;
  }
  int lines = 0;              // how many lines were handed to a worker
  bool refuse_lines = false;  // no worker can be made
  // Tells the ends of the lines so far, in order; true when there was any.
  bool EndLines() { return Flush(ends_); }
  bool WorkersBack() { return Flush(backs_); }

  std::optional<std::uint32_t> GetExStyle(Handle w) override {
    auto it = windows_.find(w);
    return it == windows_.end() ? std::nullopt : it->second.ex_style;
  }
  bool SetExStyle(Handle w, std::uint32_t style) override {
    auto it = windows_.find(w);
    if (it == windows_.end()) return false;
    it->second.ex_style = style;
    return true;
  }
  bool SetLayeredAlpha(Handle w, std::uint8_t alpha) override {
    auto it = windows_.find(w);
    if (it == windows_.end()) return false;
    it->second.alpha = alpha;
    return true;
  }

 private:
  static bool SameClass(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
  }
  Handle FirstOf(const std::vector<Handle>& list, Handle after, const std::wstring& cls) const {
    auto it = list.begin();
    if (after != 0) {
      it = std::find(list.begin(), list.end(), after);
      if (it == list.end()) return 0;  // child-after is no longer a child of the parent
      ++it;
    }
    for (; it != list.end(); ++it)
      if (SameClass(windows_.at(*it).cls, cls)) return *it;
    return 0;
  }
  static bool Flush(std::vector<std::function<void()>>& queue) {
    std::vector<std::function<void()>> now;
    now.swap(queue);
    for (auto& f : now) f();
    return !now.empty();
  }
  // A send of the line (gated) is among the calls and is not made once the line is given up;
  // setting a box back is neither.
  Delivery Deliver(const Message& m, bool gated, const std::function<void(Window&)>& apply = {}) {
    if (gated) {
      calls.push_back(
          L"send " + m.kind + L" " + std::to_wstring(m.target) +
          (m.kind == L"text" ? L" \"" + m.text + L"\"" : L" " + std::to_wstring(m.code)));
      if (given_up_) return Delivery::kNotSent;
    }
    auto it = windows_.find(m.target);
    if (it == windows_.end()) return Delivery::kNoWindow;
    if (it->second.hung) {
      if (gated) given_up_ = true;
      return Delivery::kNotSent;
    }
    if (apply) apply(it->second);
    messages.push_back(m);
    if (on_message) on_message(m);
    if (!m.kind.empty() && it->second.late_on == m.kind) {
      it->second.late_on.clear();
      given_up_ = true;
      return Delivery::kHandledLate;
    }
    return given_up_ ? Delivery::kHandledLate : Delivery::kHandled;
  }

  std::map<Handle, Window> windows_;
  std::vector<Handle> top_;
  Handle next_ = 0x100;
  bool given_up_ = false;
  std::vector<std::function<void()>> ends_, backs_;
};

}  // namespace fakes
