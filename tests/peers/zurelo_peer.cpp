// A stand-in for the programs Zurelo talks to: the player whose title it reads, and the
// four chat clients it types into. Each role builds real windows with the classes and the
// child order those programs have, and records every message that reaches them.
//
//   zurelo_peer.exe --role player|aol|aim|yahoo|mirc --log <file> [--title <text>]
//
// The player and the mIRC windows are Unicode windows, as those programs make theirs: texts
// arrive as UTF-16 and are logged as UTF-8. The AOL, AIM and Yahoo! windows are ANSI
// windows: a text arrives as bytes of the ANSI code page and is logged as those bytes.

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "peer_log.h"
#include "peer_protocol.h"
#include "peer_roles.h"
#include "platform/utf8.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_text.h"

namespace {

using peer::Kind;
using peer::Role;
using platform::win32::UniqueWindow;

// Everything the window procedures share: one peer is one thread.
struct State {
  HINSTANCE instance = nullptr;
  const peer::RoleRow* role = nullptr;
  std::wstring title;
  peer::Log log;
  int generation = 0;
  UniqueWindow top;
  bool churn_requested = false;
  bool rebuilding = false;
  bool clearing = false;  // the peer empties an input itself: not a message from outside
  std::map<HWND, std::string> names;
  std::map<HWND, WNDPROC> original_procs;  // standard controls we subclassed
  std::map<HWND, HWND> mdi_clients;        // frame -> its MDI client
  std::map<HWND, HWND> send_buttons;       // button -> the input whose text it sends
  std::set<HWND> enter_inputs;             // inputs that send their text on Enter
  WNDPROC button_proc = nullptr;           // the system BUTTON procedure, for superclassing
  bool unicode = false;                    // the role's windows are Unicode windows
  DWORD slow_ms = 0;                       // time taken over each recorded message
  HWND input = nullptr;                    // the input the program is meant to type into
  std::vector<HWND> channels;              // mIRC's channel windows, in creation order
  UniqueWindow second_chat;                // AIM's second chat window, once made
  bool switch_on_text = false;             // kSwitchOnTextMessage armed
  bool type_after_text = false;            // kTypeAfterTextMessage armed
  int type_on_read = 0;                    // ... to type before this read after the text
  int reads_since_text = -1;               // reads of the input since the text; -1 none yet
  bool type_on_length = false;             // kTypeOnLengthMessage armed
  bool typing = false;                     // the user's keys are going in: not recorded
  bool own_read = false;                   // the peer reads an input of its own
  DWORD hang_on_send_ms = 0;               // kHangOnSendMessage armed
  DWORD empty_after_ms = 0;                // kEmptyLateMessage: how late the input empties
  HWND emptying = nullptr;                 // the input to empty when the timer comes
  // The caret of the plain inputs (the standard edit keeps its own), a selection's two ends.
  std::map<HWND, std::pair<unsigned, unsigned>> selections;
  DWORD hang_after_text_ms = 0;  // kHangAfterTextMessage armed
  DWORD hang_now_ms = 0;         // the text came: hang over the next message
};

State& S() {
  static State state;
  return state;
}

HWND BuildAimChat(const std::string& prefix, int x, int y);

std::string NameOf(HWND w) {
  const auto it = S().names.find(w);
  return it != S().names.end() ? it->second : peer::HexNumber(w);
}

// What a Unicode window received, as UTF-8 that hides nothing: half of a pair without its
// other half keeps its own three bytes instead of becoming U+FFFD.
std::string AsReceived(std::wstring_view text) {
  return platform::ToUtf8(text, platform::LoneSurrogates::kKeep);
}

std::wstring Widen(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// What an input holds, in the form its messages are logged in.
// (The peer's own reads are no user's doing: the triggers below pass them by.)
std::string InputText(HWND w) {
  const bool was = std::exchange(S().own_read, true);
  std::string text =
      IsWindowUnicode(w) ? AsReceived(platform::win32::TextOf(w)) : platform::win32::AnsiTextOf(w);
  S().own_read = was;
  return text;
}

// When the line before happened, on the peer's own clock, for a reader that measures the
// time between two of them.
void WriteTime() {
  S().log.Write("at ms=" + std::to_string(GetTickCount64()));
}

// Sets an input's text as the peer itself, without recording it.
void SetInputText(HWND input, const std::string& utf8_or_bytes) {
  S().clearing = true;
  if (IsWindowUnicode(input)) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8_or_bytes.data(),
                                      static_cast<int>(utf8_or_bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8_or_bytes.data(), static_cast<int>(utf8_or_bytes.size()),
                        wide.data(), n);
    SetWindowTextW(input, wide.c_str());
  } else {
    SetWindowTextA(input, utf8_or_bytes.c_str());
  }
  S().clearing = false;
}

constexpr UINT_PTR kEmptyTimer = 1;

// The client posts what its input holds (the line that would appear in the chat) and then
// empties the input for the next line, as a real chat client does: at once, or late.
void PostLine(HWND input) {
  if (S().hang_on_send_ms != 0) {
    const DWORD ms = std::exchange(S().hang_on_send_ms, 0);
    S().log.Write("hang begin ms=" + std::to_string(ms));
    Sleep(ms);
    S().log.Write("hang end");
  }
  S().log.Write(NameOf(input) + " sent" + peer::TextFields(InputText(input)));
  WriteTime();
  if (S().empty_after_ms == 0) {
    SetInputText(input, "");
  } else if (S().empty_after_ms != static_cast<DWORD>(peer::kNeverEmpty)) {
    S().emptying = input;
    SetTimer(S().top.get(), kEmptyTimer, S().empty_after_ms, nullptr);
  }
}

// The user's keys, as they reach the input: each one a character at the caret.
void Type(HWND input, const std::string& keys) {
  S().log.Write("typed into=" + NameOf(input) + peer::TextFields(keys));
  S().typing = true;
  for (const char c : keys) SendMessageW(input, WM_CHAR, static_cast<WPARAM>(c), 0);
  S().typing = false;
}

// A private input class edits as a standard edit does, as far as a line needs: characters
// go in at the caret, a new text puts the caret at its start, and the selection can be read
// and set. True when the message was taken.
bool EditPlain(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (S().selections.count(w) == 0) return false;
  auto& [start, end] = S().selections[w];
  switch (msg) {
    case WM_CHAR: {
      if (wp < 0x20) return false;
      std::string text = InputText(w);
      const std::size_t at = std::min<std::size_t>(end, text.size());
      text.insert(at, 1, static_cast<char>(wp));
      SetInputText(w, text);
      start = end = static_cast<unsigned>(at + 1);
      *result = 0;
      return true;
    }
    case EM_GETSEL:
      *result = MAKELONG(start, end);
      return true;
    case EM_SETSEL: {
      const auto length = static_cast<unsigned>(InputText(w).size());
      const auto clamp = [&](LPARAM v) {
        return v < 0 ? length : std::min(static_cast<unsigned>(v), length);
      };
      start = clamp(static_cast<LPARAM>(wp));
      end = clamp(lp);
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

// One line per message of interest. A Unicode window gets the lParam of WM_SETTEXT as a
// wide string, an ANSI window as bytes.
void Record(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const bool wide = IsWindowUnicode(w) != FALSE;
  if (S().rebuilding || S().clearing || S().typing) return;
  const char* event = nullptr;
  switch (msg) {
    case WM_SETTEXT:
      event = "WM_SETTEXT";
      break;
    case WM_CHAR:
      event = "WM_CHAR";
      break;
    case WM_KEYDOWN:
      event = "WM_KEYDOWN";
      break;
    case WM_KEYUP:
      event = "WM_KEYUP";
      break;
    case WM_LBUTTONDOWN:
      event = "WM_LBUTTONDOWN";
      break;
    case WM_LBUTTONUP:
      event = "WM_LBUTTONUP";
      break;
    case BM_CLICK:
      event = "BM_CLICK";
      break;
    default:
      return;
  }
  std::string line = NameOf(w) + " " + event + " wparam=" + peer::HexNumber(wp);
  if (msg == WM_SETTEXT) {
    std::string bytes;
    if (lp != 0) {
      bytes = wide ? AsReceived(reinterpret_cast<const wchar_t*>(lp))
                   : std::string(reinterpret_cast<const char*>(lp));
    }
    line += peer::TextFields(bytes);
  } else {
    line += " lparam=" + peer::HexNumber(static_cast<unsigned long long>(lp));
  }
  S().log.Write(line);
  if (msg == WM_SETTEXT) WriteTime();
  if (msg == WM_CHAR && wp == '\r' && S().enter_inputs.count(w) != 0) PostLine(w);
  if (S().slow_ms != 0 && S().role->role != Role::kPlayer) {
    Sleep(S().slow_ms);
    // The end of the answer, for a reader that measures what happens during it.
    S().log.Write("slow answered ms=" + std::to_string(S().slow_ms));
  }
}

// What the user does around the next text in the input (armed by the control messages).
// Called before the input handles a message from outside.
void BeforeInput(HWND w, UINT msg) {
  if (w != S().input || S().rebuilding || S().clearing || S().typing || S().own_read) return;
  const bool read = msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH || msg == EM_GETSEL;
  if (read && InSendMessage() && S().reads_since_text >= 0 &&
      ++S().reads_since_text == S().type_on_read) {
    S().reads_since_text = -1;
    Type(w, "lo");
  }
  if (S().hang_now_ms != 0 && msg != WM_SETTEXT && InSendMessage()) {
    const DWORD ms = S().hang_now_ms;
    S().hang_now_ms = 0;
    S().log.Write("hang begin ms=" + std::to_string(ms));
    Sleep(ms);
    S().log.Write("hang end");
  }
  if (msg != WM_SETTEXT) return;
  if (S().hang_after_text_ms != 0) {
    S().hang_now_ms = S().hang_after_text_ms;
    S().hang_after_text_ms = 0;
  }
  if (S().switch_on_text) {
    S().switch_on_text = false;
    // Another conversation comes forward: the first a search finds from now on.
    const HWND other = S().role->role == Role::kMirc && S().channels.size() > 1
                           ? S().channels[1]
                           : S().second_chat.get();
    if (other != nullptr) {
      SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      S().log.Write("switched to=" + NameOf(other));
    }
  }
}

// Called once the input has handled a message from outside.
void AfterInput(HWND w, UINT msg) {
  if (w != S().input || S().rebuilding || S().clearing || S().typing || S().own_read ||
      !InSendMessage()) {
    return;
  }
  if (msg == WM_GETTEXTLENGTH && S().type_on_length) {
    S().type_on_length = false;
    Type(w, " more");
  }
  if (msg != WM_SETTEXT || !S().type_after_text) return;
  S().type_after_text = false;
  if (S().type_on_read == 0) {
    Type(w, "lo");
  } else {
    S().reads_since_text = 0;
  }
}

// Control messages and button notifications, common to every top-level window and to the
// windows that hold buttons. Returns true when the message was taken.
bool HandleCommon(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case peer::kHangMessage:
      if (w != S().top.get()) return false;
      S().log.Write("hang begin ms=" + std::to_string(wp));
      Sleep(static_cast<DWORD>(wp));
      S().log.Write("hang end");
      return true;
    case peer::kSlowMessage:
      if (w != S().top.get()) return false;
      S().slow_ms = static_cast<DWORD>(wp);
      S().log.Write(wp != 0 ? "slow begin ms=" + std::to_string(wp) : std::string("slow end"));
      return true;
    case peer::kChurnMessage:
      if (w != S().top.get()) return false;
      S().churn_requested = true;  // rebuilt by the message loop, outside any handler
      return true;
    case peer::kSwitchOnTextMessage:
      if (w != S().top.get()) return false;
      if (S().role->role == Role::kAim && !S().second_chat) BuildAimChat("aim2", 460, 60);
      S().switch_on_text = true;
      S().log.Write("armed switch");
      return true;
    case peer::kTypeAfterTextMessage:
      if (w != S().top.get()) return false;
      S().type_after_text = true;
      S().type_on_read = static_cast<int>(wp);
      S().log.Write("armed type reads=" + std::to_string(wp));
      return true;
    case peer::kTypeOnLengthMessage:
      if (w != S().top.get()) return false;
      S().type_on_length = true;
      S().log.Write("armed type on=length");
      return true;
    case peer::kHangOnSendMessage:
      if (w != S().top.get()) return false;
      S().hang_on_send_ms = static_cast<DWORD>(wp);
      S().log.Write("armed hang on=send ms=" + std::to_string(wp));
      return true;
    case peer::kEmptyLateMessage:
      if (w != S().top.get()) return false;
      S().empty_after_ms = static_cast<DWORD>(wp);
      S().log.Write("armed empty ms=" + std::to_string(wp));
      return true;
    case WM_TIMER:
      if (w != S().top.get() || wp != kEmptyTimer) return false;
      KillTimer(w, kEmptyTimer);
      if (S().emptying != nullptr && IsWindow(S().emptying)) {
        SetInputText(S().emptying, "");
        S().log.Write("emptied " + NameOf(S().emptying));
      }
      S().emptying = nullptr;
      return true;
    case peer::kHangAfterTextMessage:
      if (w != S().top.get()) return false;
      S().hang_after_text_ms = static_cast<DWORD>(wp);
      S().log.Write("armed hang ms=" + std::to_string(wp));
      return true;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED && lp != 0) {
        const HWND button = reinterpret_cast<HWND>(lp);
        if (!S().rebuilding) S().log.Write(NameOf(button) + " clicked");
        const auto it = S().send_buttons.find(button);
        if (it != S().send_buttons.end() && !S().rebuilding) PostLine(it->second);
        return true;
      }
      return false;
    case WM_DESTROY:
      if (w == S().top.get() && !S().rebuilding) PostQuitMessage(0);
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  BeforeInput(w, msg);
  Record(w, msg, wp, lp);
  if (HandleCommon(w, msg, wp, lp)) return 0;
  LRESULT result = 0;
  if (!EditPlain(w, msg, wp, lp, &result)) {
    result = IsWindowUnicode(w) ? DefWindowProcW(w, msg, wp, lp) : DefWindowProcA(w, msg, wp, lp);
    if (msg == WM_SETTEXT && S().selections.count(w) != 0) S().selections[w] = {0, 0};
  }
  AfterInput(w, msg);
  return result;
}

LRESULT CALLBACK MdiFrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Record(w, msg, wp, lp);
  if (HandleCommon(w, msg, wp, lp)) return 0;
  const auto it = S().mdi_clients.find(w);
  HWND client = it != S().mdi_clients.end() ? it->second : nullptr;
  return IsWindowUnicode(w) ? DefFrameProcW(w, client, msg, wp, lp)
                            : DefFrameProcA(w, client, msg, wp, lp);
}

LRESULT CALLBACK MdiChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Record(w, msg, wp, lp);
  if (HandleCommon(w, msg, wp, lp)) return 0;
  return IsWindowUnicode(w) ? DefMDIChildProcW(w, msg, wp, lp) : DefMDIChildProcA(w, msg, wp, lp);
}

// A private button class that clicks like a standard button.
LRESULT CALLBACK ButtonLikeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Record(w, msg, wp, lp);
  return CallWindowProcA(S().button_proc, w, msg, wp, lp);
}

LRESULT CALLBACK SubclassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  BeforeInput(w, msg);
  Record(w, msg, wp, lp);
  const auto it = S().original_procs.find(w);
  const bool wide = IsWindowUnicode(w) != FALSE;
  if (it == S().original_procs.end()) {
    return wide ? DefWindowProcW(w, msg, wp, lp) : DefWindowProcA(w, msg, wp, lp);
  }
  const WNDPROC original = it->second;
  if (msg == WM_NCDESTROY) S().original_procs.erase(it);
  const LRESULT result =
      wide ? CallWindowProcW(original, w, msg, wp, lp) : CallWindowProcA(original, w, msg, wp, lp);
  AfterInput(w, msg);
  return result;
}

bool RegisterPrivate(const char* cls, Kind kind) {
  if (S().unicode && kind != Kind::kButtonLike) {
    const std::wstring name = Widen(cls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = kind == Kind::kMdiFrame   ? &MdiFrameProc
                     : kind == Kind::kMdiChild ? &MdiChildProc
                                               : &PlainProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hInstance = S().instance;
    wc.lpszClassName = name.c_str();
    return RegisterClassW(&wc) != 0;
  }
  WNDCLASSA wc{};
  if (kind == Kind::kButtonLike) {
    if (!GetClassInfoA(nullptr, "BUTTON", &wc)) return false;
    S().button_proc = wc.lpfnWndProc;
    wc.lpfnWndProc = &ButtonLikeProc;
  } else {
    wc.lpfnWndProc = kind == Kind::kMdiFrame   ? &MdiFrameProc
                     : kind == Kind::kMdiChild ? &MdiChildProc
                                               : &PlainProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  }
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  wc.hInstance = S().instance;
  wc.lpszClassName = cls;
  return RegisterClassA(&wc) != 0;
}

bool IsStandardClass(const std::string& cls) {
  for (const char* standard : {"edit", "button", "listbox", "combobox", "static"}) {
    if (lstrcmpiA(cls.c_str(), standard) == 0) return true;
  }
  return false;
}

// A named window. Standard controls are subclassed so that they record too.
HWND Make(const std::string& cls, const std::string& name, HWND parent, DWORD style, int x, int y,
          int width, int height, const char* text = "") {
  const DWORD child = parent != nullptr ? WS_CHILD | WS_VISIBLE : 0;
  HWND w = S().unicode
               ? CreateWindowExW(0, Widen(cls).c_str(), Widen(text).c_str(), style | child, x, y,
                                 width, height, parent, nullptr, S().instance, nullptr)
               : CreateWindowExA(0, cls.c_str(), text, style | child, x, y, width, height, parent,
                                 nullptr, S().instance, nullptr);
  if (w == nullptr) return nullptr;
  S().names[w] = name;
  if (IsStandardClass(cls)) {
    // Set through the W form, a Unicode control stays one.
    const auto proc = reinterpret_cast<LONG_PTR>(&SubclassProc);
    const auto original =
        reinterpret_cast<WNDPROC>(S().unicode ? SetWindowLongPtrW(w, GWLP_WNDPROC, proc)
                                              : SetWindowLongPtrA(w, GWLP_WNDPROC, proc));
    S().original_procs[w] = original;
  }
  return w;
}

HWND MakeMdiClient(HWND frame, const std::string& cls, const std::string& name) {
  CLIENTCREATESTRUCT ccs{};
  ccs.idFirstChild = 1000;
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL;
  HWND client = S().unicode ? CreateWindowExW(0, Widen(cls).c_str(), nullptr, kStyle, 0, 0, 380,
                                              260, frame, nullptr, S().instance, &ccs)
                            : CreateWindowExA(0, cls.c_str(), nullptr, kStyle, 0, 0, 380, 260,
                                              frame, nullptr, S().instance, &ccs);
  if (client == nullptr) return nullptr;
  S().names[client] = name;
  S().mdi_clients[frame] = client;
  return client;
}

HWND MakeMdiChild(HWND client, const char* cls, const std::string& name, int index) {
  if (S().unicode) {
    const std::wstring wide_cls = Widen(cls), wide_name = Widen(name);
    MDICREATESTRUCTW mcs{};
    mcs.szClass = wide_cls.c_str();
    mcs.szTitle = wide_name.c_str();
    mcs.hOwner = S().instance;
    mcs.x = 10 + 20 * index;
    mcs.y = 10 + 20 * index;
    mcs.cx = 300;
    mcs.cy = 180;
    HWND child = reinterpret_cast<HWND>(
        SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    if (child != nullptr) S().names[child] = name;
    return child;
  }
  MDICREATESTRUCTA mcs{};
  mcs.szClass = cls;
  mcs.szTitle = name.c_str();
  mcs.hOwner = S().instance;
  mcs.x = 10 + 20 * index;
  mcs.y = 10 + 20 * index;
  mcs.cx = 300;
  mcs.cy = 180;
  HWND child =
      reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (child != nullptr) S().names[child] = name;
  return child;
}

// MDI brings each new document window to the front; put them back in creation order, so
// that the first one made is the first child a search finds.
bool ArrangeInOrder(HWND client, const std::vector<HWND>& children) {
  for (HWND child : children) {
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  HWND w = GetWindow(client, GW_CHILD);
  for (HWND child : children) {
    while (w != nullptr && S().names.count(w) == 0) w = GetWindow(w, GW_HWNDNEXT);
    if (w != child) return false;
    w = GetWindow(w, GW_HWNDNEXT);
  }
  return true;
}

HWND MakeTop(const char* cls, const std::string& name, int x, int y) {
  return Make(cls, name, nullptr, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, 400, 300,
              name.c_str());
}

// Window trees. Each has decoys where a sender could go wrong: earlier windows of the
// searched class, or more children than the sender counts.

bool BuildPlayer() {
  HWND w =
      CreateWindowExW(0, Widen(S().role->top_class).c_str(), S().title.c_str(), WS_OVERLAPPEDWINDOW,
                      600, 400, 300, 120, nullptr, nullptr, S().instance, nullptr);
  if (w == nullptr) return false;
  S().names[w] = "player.main";
  S().top.reset(w);
  return true;
}

bool BuildAol() {
  HWND frame = MakeTop(S().role->top_class, "aol.frame", 20, 20);
  if (frame == nullptr) return false;
  S().top.reset(frame);
  HWND client = MakeMdiClient(frame, "MDIClient", "aol.mdiclient");
  if (client == nullptr) return false;
  // A document window with a static and an input box, but no combo box or list: no room.
  HWND lobby = MakeMdiChild(client, "AOL Child", "aol.lobby", 0);
  // The chat room: the five parts of its signature and the input box.
  HWND room = MakeMdiChild(client, "AOL Child", "aol.room", 1);
  if (lobby == nullptr || room == nullptr) return false;
  Make("_AOL_Static", "aol.lobby.static", lobby, 0, 0, 0, 100, 20);
  Make("_AOL_Icon", "aol.lobby.icon", lobby, 0, 0, 20, 20, 20);
  HWND lobby_input = Make("RICHCNTL", "aol.lobby.edit", lobby, 0, 0, 60, 200, 20);
  Make("_AOL_Combobox", "aol.room.combobox", room, 0, 0, 0, 100, 20);
  Make("_AOL_Listbox", "aol.room.listbox", room, 0, 100, 0, 100, 60);
  Make("_AOL_Static", "aol.room.static", room, 0, 0, 20, 100, 20);
  Make("_AOL_Icon", "aol.room.icon", room, 0, 0, 40, 20, 20);
  Make("RICHCNTLREADONLY", "aol.room.history", room, 0, 0, 60, 200, 40);
  HWND input = Make("RICHCNTL", "aol.edit", room, 0, 0, 100, 200, 20);
  HWND second = Make("RICHCNTL", "aol.room.edit2", room, 0, 0, 120, 200, 20);
  if (lobby_input == nullptr || input == nullptr || second == nullptr) return false;
  for (HWND w : {lobby_input, input, second}) {
    S().enter_inputs.insert(w);
    S().selections[w] = {0, 0};
  }
  S().input = input;
  return ArrangeInOrder(client, {lobby, room});
}

// An AIM chat window, its parts named after prefix; nullptr when it cannot be made.
HWND BuildAimChat(const std::string& prefix, int x, int y) {
  HWND chat = MakeTop(S().role->top_class, prefix + ".main", x, y);
  if (chat == nullptr) return nullptr;
  if (prefix != "aim") {
    S().second_chat.reset(chat);
    ShowWindow(chat, SW_SHOWNOACTIVATE);
    // The first comes back in front: the first a search finds stays the first until the
    // second is brought forward.
    SetWindowPos(S().top.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The first pane holds the conversation so far, the second the input box.
  HWND history_pane = Make("wndate32class", prefix + ".pane1", chat, 0, 0, 0, 380, 100);
  HWND input_pane = Make("wndate32class", prefix + ".pane2", chat, 0, 0, 110, 380, 40);
  if (history_pane == nullptr || input_pane == nullptr) return nullptr;
  HWND history = Make("ate32class", prefix + ".history", history_pane, 0, 0, 0, 380, 100);
  HWND input = Make("ate32class", prefix + ".edit", input_pane, 0, 0, 0, 380, 40);
  if (history == nullptr || input == nullptr) return nullptr;
  // Seven icon buttons; the fifth sends.
  for (int i = 1; i <= 7; ++i) {
    const std::string name = prefix + ".button" + std::to_string(i);
    HWND b = Make("_oscar_iconbtn", name, chat, BS_PUSHBUTTON, 10 + 50 * (i - 1), 160, 45, 25,
                  name.c_str() + prefix.size() + 1);
    if (b == nullptr) return nullptr;
    if (i == 5) S().send_buttons[b] = input;
  }
  S().selections[input] = {0, 0};
  if (prefix == "aim") S().input = input;
  return chat;
}

bool BuildAim() {
  HWND chat = BuildAimChat("aim", 440, 20);
  if (chat == nullptr) return false;
  S().top.reset(chat);
  return true;
}

bool BuildYahoo() {
  HWND conversation = MakeTop(S().role->top_class, "yahoo.main", 20, 340);
  if (conversation == nullptr) return false;
  S().top.reset(conversation);
  HWND input = Make("YIMInputWindow", "yahoo.edit", conversation, 0, 0, 0, 380, 60);
  if (input == nullptr) return false;
  S().selections[input] = {0, 0};
  S().input = input;
  // Five standard buttons; the fourth is "Send".
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "yahoo.button" + std::to_string(i);
    HWND b = Make("button", name, conversation, BS_PUSHBUTTON, 10 + 70 * (i - 1), 80, 65, 25,
                  i == 4 ? "Send" : name.c_str() + 6);
    if (b == nullptr) return false;
    if (i == 4) S().send_buttons[b] = input;
  }
  return true;
}

bool BuildMirc() {
  HWND main = MakeTop(S().role->top_class, "mirc.main", 440, 340);
  if (main == nullptr) return false;
  S().top.reset(main);
  HWND client = MakeMdiClient(main, "mdiclient", "mirc.mdiclient");
  if (client == nullptr) return false;
  // The status window comes first and has an input box of its own; then two channels.
  HWND status = MakeMdiChild(client, "mirc_status", "mirc.status", 0);
  HWND first = MakeMdiChild(client, "mirc_channel", "mirc.channel1", 1);
  HWND second = MakeMdiChild(client, "mirc_channel", "mirc.channel2", 2);
  if (status == nullptr || first == nullptr || second == nullptr) return false;
  S().channels = {first, second};
  const std::vector<std::pair<HWND, std::string>> inputs = {
      {status, "mirc.status.edit"}, {first, "mirc.edit"}, {second, "mirc.channel2.edit"}};
  for (const auto& [parent, name] : inputs) {
    Make("listbox", name.substr(0, name.rfind('.')) + ".nicks", parent, LBS_NOTIFY, 200, 0, 80,
         100);
    HWND edit = Make("edit", name, parent, ES_AUTOHSCROLL | WS_BORDER, 0, 110, 280, 22);
    if (edit == nullptr) return false;
    S().enter_inputs.insert(edit);
    if (name == "mirc.edit") S().input = edit;
  }
  return ArrangeInOrder(client, {status, first, second});
}

bool RegisterClasses() {
  const peer::RoleRow& role = *S().role;
  if (!RegisterPrivate(role.top_class, role.top_kind)) return false;
  for (std::size_t i = 0; i < role.part_count; ++i) {
    if (!RegisterPrivate(role.parts[i].name, role.parts[i].kind)) return false;
  }
  return true;
}

bool Build() {
  ++S().generation;
  bool built = false;
  switch (S().role->role) {
    case Role::kPlayer:
      built = BuildPlayer();
      break;
    case Role::kAol:
      built = BuildAol();
      break;
    case Role::kAim:
      built = BuildAim();
      break;
    case Role::kYahoo:
      built = BuildYahoo();
      break;
    case Role::kMirc:
      built = BuildMirc();
      break;
  }
  if (!built) return false;
  ShowWindow(S().top.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(S().top.get());
  S().log.Write(std::string("ready role=") + S().role->name + " pid=" +
                std::to_string(GetCurrentProcessId()) + " gen=" + std::to_string(S().generation));
  return true;
}

// Destroys the whole tree and builds it again: every window gets a new handle.
bool Rebuild() {
  S().log.Write("churn");
  S().rebuilding = true;
  S().top.reset();
  S().names.clear();
  S().mdi_clients.clear();
  S().send_buttons.clear();
  S().enter_inputs.clear();
  S().selections.clear();
  S().emptying = nullptr;
  S().second_chat.reset();
  S().channels.clear();
  S().input = nullptr;
  S().rebuilding = false;
  return Build();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  const platform::win32::UniqueArgv argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv) return 2;
  const peer::RoleRow* role = nullptr;
  std::wstring log_path;
  std::optional<std::wstring> title;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring key = argv.get()[i], value = argv.get()[i + 1];
    if (key == L"--role") {
      role = peer::FindRole(platform::ToUtf8(value));
    } else if (key == L"--log") {
      log_path = value;
    } else if (key == L"--title") {
      title = value;
    } else {
      return 2;
    }
  }
  if (!role || log_path.empty()) return 2;

  State& s = S();
  s.instance = instance;
  s.role = role;
  s.unicode = role->unicode;
  if (title) {
    s.title = *title;
  } else {
    const std::string fallback = peer::kDefaultPlayerTitle;
    s.title.assign(fallback.begin(), fallback.end());
  }
  if (!s.log.Open(log_path)) return 3;
  if (!RegisterClasses() || !Build()) {
    s.log.Write("error the windows could not be built");
    return 4;
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (s.churn_requested) {
      s.churn_requested = false;
      if (!Rebuild()) {
        s.log.Write("error the windows could not be rebuilt");
        return 4;
      }
    }
  }
  s.top.release();  // already destroyed by WM_CLOSE
  return 0;
}
