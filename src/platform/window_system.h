#pragma once
// The window system as the logic sees it: other programs' windows found by class,
// texts read and written, keys and clicks sent. Texts are wide (UTF-16) here; a text
// reaches an ANSI window converted to the ANSI code page by the window system itself.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// A window of any program; 0 means none.
using Handle = std::uintptr_t;

// What became of one message sent to another program's window by a chat line.
enum class Delivery {
  kHandled,      // the window handled it
  kNoWindow,     // there was no window to take it (0, or one already gone): nothing sent
  kNotSent,      // the line was given up, or the client reported hung, before it went
  kHandledLate,  // the window handled it, but only after the line had been given up on it
};

// The window got the message, in time or only after the line was given up.
inline bool WasHandled(Delivery d) {
  return d == Delivery::kHandled || d == Delivery::kHandledLate;
}

// What an input box holds, in the box's own form: a Unicode box's text, or an ANSI box's
// bytes (so nothing is lost in a conversion), and its selection.
struct BoxText {
  bool unicode = true;
  std::wstring text;
  std::string bytes;
  unsigned sel_start = 0, sel_end = 0;
  bool empty() const { return unicode ? text.empty() : bytes.empty(); }
  // The same characters (the selection aside).
  bool Same(const BoxText& o) const {
    return unicode == o.unicode && (unicode ? text == o.text : bytes == o.bytes);
  }
};

// Window searches, the same on the interface thread and on a line's worker.
class WindowFinder {
 public:
  virtual ~WindowFinder() = default;
  // A top-level window of the class (FindWindowA(cls, NULL)); 0 when there is none.
  virtual Handle FindTopLevel(const std::wstring& cls) = 0;
  // The first direct child of parent of the class after child_after (FindWindowExA);
  // parent 0 searches the top-level windows. 0 when there is none.
  virtual Handle FindChild(Handle parent, Handle child_after, const std::wstring& cls) = 0;
};

// The windows as a chat line's worker reaches them: searches, and messages that block until
// the client has handled them. Once the line is given up (the client reported hung or
// gone), a send is not made (kNotSent); one already on its way answers kHandledLate.
class LineWindows : public virtual WindowFinder {
 public:
  // WM_SETTEXT: a Unicode window gets the text as it is, an ANSI window the text as the
  // window system converts it to the ANSI code page.
  virtual Delivery SendText(Handle w, const std::wstring& text) = 0;
  // WM_CHAR with the character code.
  virtual Delivery SendChar(Handle w, unsigned code) = 0;
  // WM_KEYDOWN / WM_KEYUP with the virtual key.
  virtual Delivery SendKeyDown(Handle w, unsigned vk) = 0;
  virtual Delivery SendKeyUp(Handle w, unsigned vk) = 0;
  // The first and second button-activation messages (wParam 13, lParam 0): together a
  // press and a release, which a standard button takes as one click.
  virtual Delivery SendButtonDown(Handle w) = 0;
  virtual Delivery SendButtonUp(Handle w) = 0;

  // The box's text and selection (WM_GETTEXT, EM_GETSEL); nothing when the box does not
  // answer. These two are made also after the line was given up, once the worker is back:
  // they are how a given-up line leaves the box as the user had it.
  virtual std::optional<BoxText> ReadBox(Handle box) = 0;
  // Whether the box holds exactly this text (the selection aside), in one message, so that
  // nothing the user types can slip in between this read and the send that follows it.
  // Nothing when the box does not answer.
  virtual std::optional<bool> BoxHolds(Handle box, const BoxText& text) = 0;
  // Sets the box's text and selection (WM_SETTEXT in the box's form, EM_SETSEL).
  virtual bool WriteBox(Handle box, const BoxText& text) = 0;
  // What the box holds once it has been sent text with SendText.
  virtual BoxText AsTyped(Handle box, const std::wstring& text) = 0;
  // Whether the line has been given up (by either side).
  virtual bool GivenUp() = 0;
  // The worker sleeps a while: a client may take a moment to empty its box.
  virtual void Wait(unsigned ms) = 0;
};

// What a line's worker found and did, told to the interface thread when it is back.
struct LineReport {
  bool found_box = false;    // the client's input box was found
  bool text_in_box = false;  // our text went into the box and was left there
  bool posted = false;       // the Enter or click went, to a box that held exactly our text
};

// How a line ended, as the interface thread learns it.
struct LineEnd {
  // Given up before its worker came back: the client was reported hung or gone, or the
  // worker never started.
  bool given_up = false;
  // Nothing more of the line will happen in the client: its worker is back (report holds
  // what it did), or it never started and never will.
  bool finished = false;
  LineReport report;
};

// The window system as the interface thread uses it.
class WindowSystem : public virtual WindowFinder {
 public:
  // The window's title as GetWindowTextW(w, buf, max_count) gives it: at most
  // max_count - 1 UTF-16 units (the last may be half of a pair the limit cut).
  virtual std::wstring GetTitle(Handle w, int max_count) = 0;

  // Starts one line's work (its searches and messages) on a worker and returns at once, so
  // nothing on this side (a box, a dialog, a menu) can hold it, and it none of this. ended
  // runs later on this thread, from the message loop: once when the worker is back; and,
  // when the line is given up before that, once at the give-up and once more when (if
  // ever) the worker is back. False when no worker could be made: ended never runs then.
  // steps must own what it uses: it may outlive everything but the program.
  virtual bool StartLine(std::function<LineReport(LineWindows&)> steps,
                         std::function<void(const LineEnd&)> ended) = 0;

  // Extended style (GWL_EXSTYLE) and layered alpha of a window. The style is nothing when
  // it cannot be read (no such window).
  virtual std::optional<std::uint32_t> GetExStyle(Handle w) = 0;
  virtual bool SetExStyle(Handle w, std::uint32_t style) = 0;
  virtual bool SetLayeredAlpha(Handle w, std::uint8_t alpha) = 0;
};

}  // namespace platform
