#pragma once
// The end-to-end driver's tools: start and stop programs, find their windows, work their
// controls from outside as a user would, read the stand-in peers' logs, and set the
// program's stored settings.
//
// Peer log (tests/peers/zurelo_peer.exe --log <file>), one line per event:
//   ready role=<role> pid=<pid> gen=<n>           the windows exist; gen counts rebuilds
//   <window> WM_SETTEXT wparam=0x0 hex=<bytes> text=<readable bytes>
//   <window> <message> wparam=0x.. lparam=0x..    WM_CHAR, WM_KEYDOWN, WM_KEYUP,
//                                                 WM_LBUTTONDOWN, WM_LBUTTONUP, BM_CLICK
//   <button> clicked                              the button told its parent it was clicked
//   <input> sent hex=<bytes> text=<readable>      the client posts what the input holds
//                                                 (Enter in it, or a click of its send button)
//   hang begin ms=<n>, hang end                   the peer stopped pumping messages
//   slow begin ms=<n>, slow end                   each recorded message now takes n ms
//   slow answered ms=<n>                          the end of such an answer (it began
//                                                 with the message's line)
//   churn                                         the tree is destroyed and built anew
//   armed switch|type|hang ms=<n>                 what the user does at the next text is set
//   armed question ms=<n>                         the player hangs over the next question
//   asked question=<n> wparam=0x.. answer=<n>     the player answered a question (WM_USER)
//   answers <state|position|length|list>=<n>      one of the player's answers was set
//   switched to=<window>                          another conversation came forward
//   error <text>                                  the peer could not build its windows
// Window names are "<role>.<part>". The parts the program is meant to reach are
// "aol.edit", "aim.edit" and "aim.button5", "yahoo.edit" and "yahoo.button4", "mirc.edit";
// every other window is a decoy of a class the senders search for (AIM's second chat window,
// made on request, is "aim2.*").
// Text fields record exactly what the window received. The AOL, AIM and Yahoo! windows are
// ANSI windows: hex is the very bytes received, in the ANSI code page. The player's and
// the mIRC windows are Unicode windows: hex is the UTF-16 text received, written as UTF-8
// (half of a pair without its other half as its own three bytes, so nothing is hidden).
// A "sent" line holds the input's text in the same form as its WM_SETTEXT; the client then
// empties the input, as a real one does after posting a line (that is not logged).

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_text.h"

namespace e2e {

// --- Shared with the program: handle owners, a window's text across the process
// boundary (WM_GETTEXT: a control's real text, not a cached caption), and UTF-8 (how the
// peers log what a Unicode window received, and readable in a failure message).

using platform::ToUtf8;
using platform::win32::TextOf;
using platform::win32::UniqueHandle;

// --- Where the programs under test are, from the driver's command line.

struct Programs {
  std::wstring zurelo;  // Zurelo.exe
  std::wstring peer;    // zurelo_peer.exe
};
Programs& ProgramPaths();
// A path as Wine's Windows side sees it: "/a/b" becomes "Z:\a\b"; others are kept.
std::wstring WindowsPath(const std::wstring& path);

// --- Waiting

// Polls pred every poll until it holds or timeout passes; true when it held.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds timeout = std::chrono::seconds(10),
               std::chrono::milliseconds poll = std::chrono::milliseconds(20));
void Pause(std::chrono::milliseconds how_long);

// --- Processes

class Process {
 public:
  Process() = default;
  // Starts exe with the arguments (quoted as CommandLineToArgvW reads them back) in its
  // own directory. Check started().
  static Process Start(const std::wstring& exe, const std::vector<std::wstring>& args = {});
  // A process this driver did not start (a copy started by the program itself).
  static Process Open(DWORD pid);
  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  ~Process() { Stop(); }

  bool started() const { return process_ != nullptr; }
  // Why Start failed, or how the process ended: for failure messages.
  std::string Describe() const;
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_.get(); }
  bool Running() const;
  // True when the process ended within the timeout.
  bool WaitExit(std::chrono::milliseconds timeout);
  // Terminates the process if it still runs and waits for it.
  void Stop();

 private:
  UniqueHandle process_;
  DWORD pid_ = 0;
  DWORD start_error_ = 0;
};

// --- Windows

// Top-level windows of the class (case-insensitive), owned by pid (0: any process).
std::vector<HWND> TopLevelWindows(const std::wstring& cls, DWORD pid = 0, bool visible_only = true);
// Waits for a visible top-level window of the class owned by pid.
HWND WaitTopLevel(const std::wstring& cls, DWORD pid,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
DWORD ProcessOf(HWND w);
std::wstring ClassOf(HWND w);
// WM_SETTEXT with a wide text; false when the window did not answer.
bool SetText(HWND w, const std::wstring& text);
// BM_CLICK, posted: a handler that opens a modal box would block a sent one.
void PostClick(HWND button);
bool IsChecked(HWND button);
// A key press and release posted to the window, as the keyboard would deliver them.
void PostKey(HWND w, UINT vk);
// The same with Alt held, for access keys (the keyboard sends WM_SYSKEYDOWN then).
void PostAltKey(HWND w, UINT vk);
// The entries of a list box, top first.
std::vector<std::wstring> ListItems(HWND list);
// The keyboard focus of the thread that owns window.
HWND FocusOf(HWND window);
// Layered alpha, or nothing when the window is not layered.
std::optional<BYTE> LayeredAlpha(HWND w);
DWORD ExStyle(HWND w);
SIZE ClientSize(HWND w);
// The text of the first tool of the tool tip control (read out of the owning process).
std::optional<std::wstring> ToolTipText(HWND tooltip);
// The tool tip control of owner's process whose owner window is owner.
HWND ToolTipOf(HWND owner);

// --- Message boxes

struct Box {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};
// Visible message boxes (#32770 without an edit or combo box) owned by pid.
std::vector<Box> MessageBoxes(DWORD pid);
std::optional<Box> WaitMessageBox(DWORD pid,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Presses OK and waits until the box is gone; false when it stayed.
bool CloseBox(const Box& box);
// Which of the system's icons the box shows. Read from the screen, since an icon handle
// means nothing outside its process: the picture is compared with the same icon drawn here.
enum class BoxIcon { kNone, kInformation, kError, kOther };
BoxIcon IconOf(const Box& box);
void PrintTo(BoxIcon icon, std::ostream* os);

// --- The save-file dialog

// A visible file dialog (#32770 with a file name box) owned by pid.
HWND WaitFileDialog(DWORD pid, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Types path into the file name box and presses OK (or Cancel); true when the dialog went.
bool ConfirmFileDialog(HWND dialog, const std::wstring& path);
bool CancelFileDialog(HWND dialog, const std::wstring& typed_path);

// --- The program's stored settings: HKCU\Software\VB and VBA Program Settings\<app>,
// app being the executable's base name.

void ClearSettings(const std::wstring& app = L"Zurelo");
void StoreSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                  const std::wstring& app = L"Zurelo");
std::optional<std::wstring> StoredSetting(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& app = L"Zurelo");

// --- Files

// A fresh directory under the temporary folder, removed with what it holds (kept when
// ZURELO_E2E_KEEP is set).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};
std::optional<std::string> ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The names of the files in a directory, in no particular order.
std::vector<std::wstring> FileNames(const std::wstring& dir);
// How many processes run the executable of this name ("Zurelo.exe"), whoever started them.
std::size_t ProcessesNamed(const std::wstring& exe_name);

// --- Peers

struct PeerEvent {
  std::string line;
  std::string window;  // the first word: a window name, or "ready", "hang", ...
  std::string what;    // the second word when it is not a field
  std::map<std::string, std::string> fields;
  std::string Bytes() const;  // the hex field decoded
};

// One line of a peer's log, taken apart.
PeerEvent ParseEvent(std::string line);
// Whether the line records a message that reached a window (not a line about the peer).
bool IsMessageEvent(const PeerEvent& e);

class PeerLog {
 public:
  PeerLog() = default;
  explicit PeerLog(std::wstring path) : path_(std::move(path)) {}
  const std::wstring& path() const { return path_; }
  std::vector<PeerEvent> All() const;
  // The message lines only: what reached the windows.
  std::vector<std::string> Events() const;

 private:
  std::wstring path_;
};

// Follows a peer's log as it grows: each call of Next gives the whole lines written since
// the last one. It keeps the file open, so following it closely costs little.
class PeerLogTail {
 public:
  explicit PeerLogTail(std::wstring path) : path_(std::move(path)) {}
  std::vector<PeerEvent> Next();

 private:
  std::wstring path_;
  UniqueHandle file_;
  std::string partial_;  // the start of a line still being written
};

// The events a peer logs, one line each, for building expectations.
std::string SetTextEvent(const std::string& window, const std::string& bytes);
std::string MessageEvent(const std::string& window, const std::string& message, WPARAM wp,
                         LPARAM lp = 0);
std::string SentEvent(const std::string& input, const std::string& bytes);
std::string ClickedEvent(const std::string& button);

class Peer {
 public:
  // role: the name of a row of peer::kRoles (player, aol, aim, yahoo or mirc); options go
  // on the peer's command line as they are ({L"--answers", L"winamp"}).
  bool Start(const std::string& role, const std::wstring& log_path,
             const std::optional<std::wstring>& title = std::nullopt,
             const std::vector<std::wstring>& options = {});
  void Stop() { process_.Stop(); }
  // Waits for the ready line of the given generation.
  bool WaitReady(int generation = 1);
  // The current top-level window (found afresh: a churn replaces it).
  HWND Top() const;
  DWORD pid() const { return process_.pid(); }
  std::string Describe() const { return process_.Describe(); }
  const PeerLog& log() const { return log_; }
  // Sets one of a player's answers (peer::kPlayerAnswerMessage) and waits until it is taken.
  bool SetAnswer(WPARAM what, LPARAM value);
  // Waits until the log has at least n message lines.
  bool WaitEvents(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  Process process_;
  PeerLog log_;
  std::wstring class_;
};

// --- The program under test

class Zurelo {
 public:
  // Starts Zurelo.exe (or a copy of it) and waits for its main window to be shown.
  ::testing::AssertionResult Start(const std::wstring& exe = {});
  void Stop() { process_.Stop(); }
  Process& process() { return process_; }
  DWORD pid() const { return process_.pid(); }
  HWND main() const { return main_; }
  HWND Item(int id) const { return GetDlgItem(main_, id); }
  std::wstring Label() const;
  // Waits until the label shows text.
  bool WaitLabel(const std::wstring& text,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  void Click(int id) const { PostClick(Item(id)); }
  // Clicks the button and closes the message box it opens. Returns what the box showed as
  // "<caption>: <text>", or an explanation when no box came.
  std::wstring ClickAndConfirm(int id) const;
  // Waits until every message posted to the program before this call has been handled,
  // using a control whose selection nothing else touches.
  bool Sync() const;

 private:
  Process process_;
  HWND main_ = nullptr;
};

}  // namespace e2e
