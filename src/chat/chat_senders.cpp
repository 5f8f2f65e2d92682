#include "chat/chat_senders.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/text_codec.h"
#include "platform/trace.h"

namespace chat {
namespace {

using platform::BoxText;
using platform::Delivery;
using platform::Handle;
using platform::LineReport;
using platform::LineWindows;

constexpr unsigned kEnter = 13;       // carriage return, the character of the Enter key
constexpr unsigned kSpaceKey = 0x20;  // VK_SPACE

// The n-th child of a class under parent: n searches, each starting after the previous
// result. A 0 inside the chain makes the next search start at the first child again,
// which is what passing 0 as child-after does anyway.
Handle NthChild(LineWindows& windows, Handle parent, const std::wstring& cls, int n) {
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

RoomProbe Probe(platform::WindowFinder& windows, Handle candidate) {
  RoomProbe p{};
  p.combo = windows.FindChild(candidate, 0, L"_AOL_Combobox");
  p.list = windows.FindChild(candidate, 0, L"_AOL_Listbox");
  p.label = windows.FindChild(candidate, 0, L"_AOL_Static");
  p.icon = windows.FindChild(candidate, 0, L"_AOL_Icon");
  p.readonly = windows.FindChild(candidate, 0, L"RICHCNTLREADONLY");
  return p;
}

// How long a client may take to empty its box once it has taken the line, and how often
// the box is looked at meanwhile.
constexpr unsigned kEmptyingMs = 3000;
constexpr unsigned kLookMs = 50;
// How often the draft is read again when it changes while it is read (the user typing).
constexpr int kDraftReads = 4;

template <typename Text>
Text Less(const Text& now, const Text& ours) {
  const auto at = now.find(ours);
  if (!ours.empty() && at != Text::npos) return now.substr(0, at) + now.substr(at + ours.size());
  // Our text cut, or with keys typed into it: what it still shares with the box at either
  // end. Too little of it left, and the box is all the user's.
  std::size_t head = 0, tail = 0;
  while (head < now.size() && head < ours.size() && now[head] == ours[head]) ++head;
  while (tail < now.size() - head && tail < ours.size() - head &&
         now[now.size() - 1 - tail] == ours[ours.size() - 1 - tail]) {
    ++tail;
  }
  if (2 * (head + tail) < ours.size()) return now;
  return now.substr(head, now.size() - head - tail);
}

template <typename Text>
void PutIn(Text& text, unsigned& sel_start, unsigned& sel_end, const Text& keys) {
  const auto at = std::min<std::size_t>(sel_end, text.size());
  text.insert(at, keys);
  sel_start = sel_end = static_cast<unsigned>(at + keys.size());
}

// The user's input box around one line of ours. What the user was typing is read before
// our text goes in, and read again until it stands still. The Enter or click goes only
// while the box holds exactly our text, so words the user typed meanwhile are never sent.
// However the line ends, the box is left to the user: once the client has taken the line
// (the box is empty again) the draft goes back; a line not sent, or given up on, and a
// client that never empties its box, leave the draft with whatever the user typed since,
// never our text.
class Box {
 public:
  Box(LineWindows& w, Handle box, const LineText& line)
      : w_(w),
        box_(box),
        ours_(w.AsTyped(box, line.text)),
        previous_(w.AsTyped(box, line.previous)) {
    report_.found_box = true;
    draft_.unicode = ours_.unicode;
    ReadDraft();
  }

  // Our text into the box; false when it did not go, or went only after a give-up, or the
  // user kept typing so that the draft never stood still.
  bool Type(const std::wstring& text) {
    for (int i = 1;; ++i) {
      const std::optional<bool> still = w_.BoxHolds(box_, seen_);
      if (!still || *still) break;
      if (i == kDraftReads) return false;
      ReadDraft();
    }
    const Delivery d = w_.SendText(box_, text);
    report_.text_in_box = platform::WasHandled(d);
    if (d == Delivery::kHandledLate) SetBack();
    return d == Delivery::kHandled;
  }

  // Read right before the Enter or click, in one message: the box holds exactly our text.
  // Otherwise the user typed into it, and it is theirs again.
  bool HoldsOurs() {
    const std::optional<bool> holds = w_.BoxHolds(box_, ours_);
    if (!w_.GivenUp() && holds && *holds) return true;
    SetBack();
    return false;
  }

  // The message that makes the client send the line: its Enter, or the end of its click.
  void Sent(Delivery d) {
    if (platform::WasHandled(d)) {
      report_.posted = true;
      Taken();
    } else {
      SetBack();  // not sent, or no button to send it with
    }
  }

  // Our text leaves the box: the draft with what the user typed since takes its place.
  void SetBack() {
    if (!report_.text_in_box) return;
    const std::optional<BoxText> now = w_.ReadBox(box_);
    if (!now) return;
    const BoxText want = UsersWords(draft_, *now, ours_);
    if (want.Same(*now) || w_.WriteBox(box_, want)) report_.text_in_box = false;
  }

  const LineReport& report() const { return report_; }

 private:
  // The draft: what the box holds now, but never a line of ours that a client left there
  // (only what the user typed around it).
  void ReadDraft() {
    const std::optional<BoxText> now = w_.ReadBox(box_);
    draft_ = BoxText{};
    draft_.unicode = ours_.unicode;
    seen_ = draft_;
    if (!now || now->empty()) return;
    seen_ = *now;
    if (previous_.empty()) {
      draft_ = *now;
      return;
    }
    const bool has_previous = now->unicode ? now->text.find(previous_.text) != std::wstring::npos
                                           : now->bytes.find(previous_.bytes) != std::string::npos;
    draft_ = has_previous ? UsersWords(draft_, *now, previous_) : *now;
  }

  // The client took the line: once it has emptied its box the draft goes back, and only
  // into a box that is empty, so it never joins text the client might send. A box that
  // still holds our line after a while gets the draft in its place.
  void Taken() {
    for (unsigned waited = 0; waited < kEmptyingMs; waited += kLookMs) {
      const std::optional<BoxText> now = w_.ReadBox(box_);
      if (!now) return;
      if (now->Same(ours_)) {
        w_.Wait(kLookMs);
        continue;
      }
      if (now->empty()) {
        report_.text_in_box = false;
        if (!draft_.empty()) w_.WriteBox(box_, draft_);
        return;
      }
      // The user typed: into our line before the client emptied it, or since.
      SetBack();
      return;
    }
    SetBack();
  }

  LineWindows& w_;
  const Handle box_;
  const BoxText ours_;
  const BoxText previous_;
  BoxText seen_;   // what the box held when the draft was read
  BoxText draft_;  // the user's words in it
  LineReport report_;
};

// A click is several messages, and only the last one completes it: each goes only after the
// one before was handled in time, and one handled late ends the click unfinished.
template <typename Next>
Delivery Then(Delivery d, Next next) {
  if (d == Delivery::kHandled) return next();
  return d == Delivery::kHandledLate ? Delivery::kNotSent : d;
}

// Activates a button of another program's window: a press and a release, which a standard
// button takes as one click.
Delivery PressButton(LineWindows& w, Handle button) {
  return Then(w.SendButtonDown(button), [&] { return w.SendButtonUp(button); });
}

}  // namespace

BoxText UsersWords(const BoxText& draft, const BoxText& now, const BoxText& ours) {
  BoxText out = draft;
  out.unicode = now.unicode;
  if (now.unicode) {
    PutIn(out.text, out.sel_start, out.sel_end, Less(now.text, ours.text));
  } else {
    PutIn(out.bytes, out.sel_start, out.sel_end, Less(now.bytes, ours.bytes));
  }
  return out;
}

Handle FindAolRoom(platform::WindowFinder& windows) {
  const Handle frame = windows.FindTopLevel(L"AOL Frame25");
  const Handle client = windows.FindChild(frame, 0, L"MDIClient");
  Handle candidate = windows.FindChild(client, 0, L"AOL Child");
  RoomProbe probe = Probe(windows, candidate);
  if (probe.IsRoom(candidate)) return candidate;
  // A first document window that looks like a room but is not one ends the search.
  if (probe.LooksLikeRoom()) return 0;
  for (;;) {
    // A candidate closed meanwhile is no longer a child, so the next search yields 0 and
    // ends the walk.
    candidate = windows.FindChild(client, candidate, L"AOL Child");
    probe = Probe(windows, candidate);
    if (probe.IsRoom(candidate)) return candidate;
    if (candidate == 0) return 0;
  }
}

LineReport AolLine(LineWindows& w, const LineText& line) {
  const Handle input = w.FindChild(FindAolRoom(w), 0, L"RICHCNTL");
  if (input == 0) return {};
  Box box(w, input, line);
  if (box.Type(line.text) && box.HoldsOurs()) box.Sent(w.SendChar(input, kEnter));
  return box.report();
}

LineReport AimLine(LineWindows& w, const LineText& line) {
  const Handle chat = w.FindTopLevel(L"aim_chatwnd");
  const Handle pane = NthChild(w, chat, L"wndate32class", 2);
  const Handle input = w.FindChild(pane, 0, L"ate32class");
  if (input == 0) return {};
  Box box(w, input, line);
  if (!box.Type(line.text)) return box.report();
  // The send button of the same conversation: another one brought forward meanwhile may
  // hold the user's own words.
  const Handle button = NthChild(w, chat, L"_oscar_iconbtn", 5);
  if (box.HoldsOurs()) box.Sent(PressButton(w, button));
  return box.report();
}

LineReport YahooLine(LineWindows& w, const LineText& line) {
  const Handle conversation = w.FindTopLevel(L"IMClass");
  const Handle input = w.FindChild(conversation, 0, L"YIMInputWindow");
  if (input == 0) return {};
  // The send button of the same conversation as the input.
  const Handle button = NthChild(w, conversation, L"button", 4);
  Box box(w, input, line);
  if (!box.Type(line.text) || !box.HoldsOurs()) return box.report();
  // The press, then a space bar down and up, which completes the click on a standard
  // button.
  box.Sent(Then(w.SendButtonDown(button), [&] {
    return Then(w.SendKeyDown(button, kSpaceKey), [&] { return w.SendKeyUp(button, kSpaceKey); });
  }));
  return box.report();
}

LineReport MircLine(LineWindows& w, const LineText& line) {
  const Handle main = w.FindTopLevel(L"mirc");
  const Handle client = w.FindChild(main, 0, L"mdiclient");
  const Handle channel = w.FindChild(client, 0, L"mirc_channel");
  const Handle input = w.FindChild(channel, 0, L"edit");
  if (input == 0) return {};
  Box box(w, input, line);
  // The Enter goes to the box the text went into, whichever channel is in front by now.
  if (box.Type(line.text) && box.HoldsOurs()) box.Sent(w.SendChar(input, kEnter));
  return box.report();
}

void ChatSenders::Send(int client, LineSteps steps, const std::wstring& message,
                       std::function<void(LineOutcome)> ended) {
  Client& state = clients_[client];
  if (state.busy) {
    // At most one line per client on its way: another would queue up behind the first.
    platform::Trace(L"a chat client still holds an earlier line: this one is skipped");
    ended(LineOutcome::kSkipped);
    return;
  }
  // The worker gets its own copies: a line given up on may outlive this call.
  LineText line{platform::BlankControlCharacters(message), state.previous};
  // Told once or twice (a give-up, then the worker back): whoever holds a copy shares this.
  auto told = std::make_shared<bool>(false);
  auto on_end = [this, client, text = line.text, ended, told](const platform::LineEnd& end) {
    Client& c = clients_[client];
    if (end.finished) {
      c.busy = false;
      if (end.report.text_in_box) c.previous = text;
    }
    if (!*told) {
      *told = true;
      const LineReport& r = end.report;
      ended(end.given_up  ? LineOutcome::kGivenUp
            : r.posted    ? LineOutcome::kPosted
            : r.found_box ? LineOutcome::kNotPosted
                          : LineOutcome::kNoBox);
    } else if (end.report.posted) {
      ended(LineOutcome::kPostedAfterGivingUp);
    }
  };
  state.busy = true;
  if (!windows_.StartLine(
          [steps, line = std::move(line)](LineWindows& w) { return steps(w, line); },
          std::move(on_end))) {
    state.busy = false;
    ended(LineOutcome::kSkipped);
  }
}

bool ChatSenders::Busy(int client) const {
  const auto it = clients_.find(client);
  return it != clients_.end() && it->second.busy;
}

}  // namespace chat
