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

// The result of one message sent to another program's window.
enum class Delivery {
  kDone,      // handled, or there was no window to take it (0, or one already gone)
  kNoAnswer,  // given up: the target was reported hung or went away while it was sent
  kNoTarget,  // a line that found no input box to go into
};

// What the user was typing in a chat client's input box: the text as the box holds it (a
// Unicode box's text, or an ANSI box's own bytes, so nothing is lost in a conversion) and
// the selection.
struct Draft {
  bool unicode = true;
  std::wstring text;
  std::string bytes;
  unsigned sel_start = 0, sel_end = 0;
  bool empty() const { return unicode ? text.empty() : bytes.empty(); }
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

// One chat line's steps as its worker takes them: searches, and messages that block until
// the client has handled them. Once the line is given up, a message does nothing and
// answers kNoAnswer.
class ChatLine : public virtual WindowFinder {
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
  // The box's text and selection (WM_GETTEXT, EM_GETSEL); an empty draft for an empty box,
  // no box, or a box that holds only ours (a line of ours the client did not take).
  virtual Draft ReadDraft(Handle box, const std::wstring& ours) = 0;
  // Puts the draft back (WM_SETTEXT, EM_SETSEL), but only into a box that is empty now: a
  // box that still holds the line must not get a draft the client might send instead.
  virtual Delivery PutBackDraft(Handle box, const Draft& draft) = 0;
};

// The window system as the interface thread uses it.
class WindowSystem : public virtual WindowFinder {
 public:
  // The window's title as GetWindowTextW(w, buf, max_count) gives it: at most
  // max_count - 1 UTF-16 units (the last may be half of a pair the limit cut).
  virtual std::wstring GetTitle(Handle w, int max_count) = 0;

  // One line's work (its searches and messages) run whole on a worker, so the client gets
  // the line in one piece however this thread is held up meanwhile (a message box opened
  // during the wait, say). This thread dispatches its events until the steps are done;
  // the steps answer whether the line found its input box (kNoTarget when not). The answer
  // is kNoAnswer when the client was reported hung or went away during a send, or the
  // worker never started. steps must own what it uses: it may outlive the call.
  virtual Delivery RunLine(std::function<bool(ChatLine&)> steps) = 0;

  // Extended style (GWL_EXSTYLE) and layered alpha of a window.
  virtual std::optional<std::uint32_t> GetExStyle(Handle w) = 0;
  virtual bool SetExStyle(Handle w, std::uint32_t style) = 0;
  virtual bool SetLayeredAlpha(Handle w, std::uint8_t alpha) = 0;
};

}  // namespace platform
