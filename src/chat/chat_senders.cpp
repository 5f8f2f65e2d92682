#include "chat/chat_senders.h"

#include "platform/text_codec.h"

namespace chat {
namespace {

using platform::ChatLine;
using platform::Delivery;
using platform::Handle;
using platform::WindowSystem;

constexpr unsigned kEnter = 13;       // carriage return, the character of the Enter key
constexpr unsigned kSpaceKey = 0x20;  // VK_SPACE

// The n-th child of a class under parent: n searches, each starting after the previous
// result. A 0 inside the chain makes the next search start at the first child again,
// which is what passing 0 as child-after does anyway.
Handle NthChild(ChatLine& windows, Handle parent, const std::wstring& cls, int n) {
  Handle h = 0;
  for (int i = 0; i < n; ++i) h = windows.FindChild(parent, h, cls);
  return h;
}

// What a chat-room candidate has of a room's parts. All five searches are always made.
struct RoomProbe {
  Handle combo, list, label, icon, readonly;

  // A document window with a combo box, list box and static is what a room looks like,
  // even when it fails the rest of the test.
  bool LooksLikeRoom() const { return combo != 0 && list != 0 && label != 0; }
  bool IsRoom(Handle candidate) const {
    return candidate != 0 && LooksLikeRoom() && icon != 0 && readonly != 0;
  }
};

RoomProbe Probe(WindowSystem& windows, Handle candidate) {
  RoomProbe p{};
  p.combo = windows.FindChild(candidate, 0, L"_AOL_Combobox");
  p.list = windows.FindChild(candidate, 0, L"_AOL_Listbox");
  p.label = windows.FindChild(candidate, 0, L"_AOL_Static");
  p.icon = windows.FindChild(candidate, 0, L"_AOL_Icon");
  p.readonly = windows.FindChild(candidate, 0, L"RICHCNTLREADONLY");
  return p;
}

// Activates a button of another program's window: a press and a release. The real seam
// sends WM_LBUTTONDOWN and WM_LBUTTONUP (wParam 13, lParam 0), which a standard Win32
// button takes as one click. The release is not sent when the client was given up on
// during the press.
Delivery PressButton(ChatLine& windows, Handle button) {
  if (windows.SendButtonDown(button) == Delivery::kNoAnswer) return Delivery::kNoAnswer;
  return windows.SendButtonUp(button);
}

bool Answered(Delivery d) {
  return d != Delivery::kNoAnswer;
}

// What the user was typing in the box is read before the line goes in, and put back once
// the client has taken the line (the box is empty again). An empty box needs nothing, and
// neither does one that still holds our previous line, which the client did not take.
class KeptDraft {
 public:
  KeptDraft(ChatLine& w, Handle box, const std::wstring& ours)
      : w_(w), draft_(w.ReadDraft(box, ours)) {}
  void PutBack(Handle box) {
    if (!draft_.empty()) w_.PutBackDraft(box, draft_);
  }

 private:
  ChatLine& w_;
  platform::Draft draft_;
};

}  // namespace

platform::Handle ChatSenders::FindAolRoom() {
  const Handle frame = windows_.FindTopLevel(L"AOL Frame25");
  const Handle client = windows_.FindChild(frame, 0, L"MDIClient");
  Handle candidate = windows_.FindChild(client, 0, L"AOL Child");
  RoomProbe probe = Probe(windows_, candidate);
  if (probe.IsRoom(candidate)) return candidate;
  // A first document window that looks like a room but is not one ends the search.
  if (probe.LooksLikeRoom()) return 0;
  for (;;) {
    // Keep the program responsive while the client's windows are walked. A candidate
    // closed meanwhile is no longer a child, so the next search yields 0 and ends the walk.
    pump_.DispatchPending();
    candidate = windows_.FindChild(client, candidate, L"AOL Child");
    probe = Probe(windows_, candidate);
    if (probe.IsRoom(candidate)) return candidate;
    if (candidate == 0) return 0;
  }
}

platform::Delivery ChatSenders::SendToAolRoom(const std::wstring& message) {
  // The room search dispatches events, so it stays here; the rest of the line is one piece.
  const Handle room = FindAolRoom();
  return Send(last_aol_, message, [room](ChatLine& w, const Line& line) {
    const Handle input = w.FindChild(room, 0, L"RICHCNTL");
    if (input == 0) return false;
    KeptDraft draft(w, input, line.previous);
    if (!Answered(w.SendText(input, line.text))) return true;
    if (Answered(w.SendChar(input, kEnter))) draft.PutBack(input);
    return true;
  });
}

platform::Delivery ChatSenders::SendToAim(const std::wstring& message) {
  return Send(last_aim_, message, [](ChatLine& w, const Line& line) {
    Handle chat = w.FindTopLevel(L"aim_chatwnd");
    const Handle pane = NthChild(w, chat, L"wndate32class", 2);
    const Handle input = w.FindChild(pane, 0, L"ate32class");
    KeptDraft draft(w, input, line.previous);
    if (!Answered(w.SendText(input, line.text))) return input != 0;
    chat = w.FindTopLevel(L"aim_chatwnd");
    if (Answered(PressButton(w, NthChild(w, chat, L"_oscar_iconbtn", 5)))) draft.PutBack(input);
    return input != 0;
  });
}

platform::Delivery ChatSenders::SendToYahoo(const std::wstring& message) {
  return Send(last_yahoo_, message, [](ChatLine& w, const Line& line) {
    const Handle input_parent = w.FindTopLevel(L"IMClass");
    const Handle input = w.FindChild(input_parent, 0, L"YIMInputWindow");
    const Handle buttons_parent = w.FindTopLevel(L"imclass");
    const Handle button = NthChild(w, buttons_parent, L"button", 4);
    // The press, then a space bar down and up, which completes the click on a standard
    // button.
    KeptDraft draft(w, input, line.previous);
    const bool sent =
        Answered(w.SendText(input, line.text)) && Answered(w.SendButtonDown(button)) &&
        Answered(w.SendKeyDown(button, kSpaceKey)) && Answered(w.SendKeyUp(button, kSpaceKey));
    if (sent) draft.PutBack(input);
    return input != 0;
  });
}

platform::Delivery ChatSenders::SendToMirc(const std::wstring& message) {
  return Send(last_mirc_, message, [](ChatLine& w, const Line& line) {
    // The channel's input box, looked up afresh before each of the two sends.
    auto find_input = [&w] {
      const Handle main = w.FindTopLevel(L"mirc");
      const Handle client = w.FindChild(main, 0, L"mdiclient");
      const Handle channel = w.FindChild(client, 0, L"mirc_channel");
      return w.FindChild(channel, 0, L"edit");
    };
    const Handle input = find_input();
    KeptDraft draft(w, input, line.previous);
    if (!Answered(w.SendText(input, line.text))) return input != 0;
    // The draft goes back where it came from, whichever channel the Enter went to.
    if (Answered(w.SendChar(find_input(), kEnter))) draft.PutBack(input);
    return input != 0;
  });
}

platform::Delivery ChatSenders::Send(std::wstring& last, const std::wstring& message,
                                     std::function<bool(ChatLine&, const Line&)> steps) {
  // The worker gets its own copies: a line given up on may outlive this call.
  Line line{platform::BlankControlCharacters(message), last};
  last = line.text;
  return windows_.RunLine(
      [line = std::move(line), steps = std::move(steps)](ChatLine& w) { return steps(w, line); });
}

}  // namespace chat
