// Benchmark driver. Owns a stand-in player window ("Winamp v1.x") and, on a thread of its
// own, a stand-in mIRC window tree; starts the floor program and Zurelo.exe, prints
// "mark <name>" at the edges of each phase (scripts/bench reads the processes' CPU counters
// from the host there) and at the end one JSON object of figures:
//   zurelo_bench <Zurelo.exe> [seconds per phase, default 20] --floor <floor.exe>
//   zurelo_bench <Zurelo.exe> --pose    shows both windows for screenshots, measures nothing
// The player's title changes every second throughout. Phases: the floor alone, then with
// the floor running beside it Zurelo idle, in an announcer pause, and in a slow send (the
// mIRC input box takes 3 s over each text; only the time inside those answers counts).
// Figures besides: start-up to a visible window, the title-to-label delay in each phase,
// "On" to the line, peak memory, open handles, the files' sizes.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "bench_floor.h"
#include "main/control_ids.h"
#include "platform/win32/handles.h"
#include "settings/settings_ids.h"

namespace {

using platform::win32::UniqueHandle;
using platform::win32::UniqueKey;
struct WindowDestroyer {
  void operator()(HWND w) const {
    if (w && IsWindow(w)) DestroyWindow(w);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps this thread's messages until done() or the timeout; true when done.
// slice_ms: how often done() is asked; long slices keep this driver's own load low.
template <typename F>
bool PumpUntil(F done, double timeout_ms, DWORD slice_ms = 1) {
  const auto start = Clock::now();
  while (!done()) {
    if (Since(start) > timeout_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, slice_ms, QS_ALLINPUT);
    Pump();
  }
  return true;
}

void PumpFor(double ms) {
  PumpUntil([] { return false; }, ms, 50);
}

// Both threads print marks; one printf per line keeps the lines whole.
void PrintMark(const char* name) {
  std::printf("mark %s\n", name);
  std::fflush(stdout);
}

// Marks the edge of a phase. The script reads the counters a moment later, and the
// program must still be in the same state then.
void Mark(const char* name) {
  PrintMark(name);
  PumpFor(300);
}

double CpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto secs = [](FILETIME f) {
    return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                               f.dwLowDateTime) /
           1e7;
  };
  return secs(kernel) + secs(user);
}

// --- The stand-in mIRC, on its own thread so that a slow answer holds up neither the
// player's title changes nor the label's polling.

struct Mirc {
  SRWLOCK lock = SRWLOCK_INIT;
  std::string last_line;  // the last text its input box received, and when (under lock)
  Clock::time_point last_line_at;
  std::atomic<int> lines{0};

  // A slow input box takes kSlowMs over each text; while measuring, the time inside those
  // answers is marked for the script and added up here.
  static constexpr DWORD kSlowMs = 3000;
  std::atomic<bool> slow{false};
  std::atomic<bool> measuring{false};
  std::atomic<bool> answering{false};
  std::atomic<long long> slow_ms{0};
  std::atomic<int> slow_answers{0};
  std::atomic<long long> slow_cpu_100ns{0};  // the process's time as Windows reports it
  HANDLE process = nullptr;                  // the measured program, while measuring

  HANDLE ready = nullptr;
  DWORD thread_id = 0;
};
Mirc g_mirc;

void SlowAnswer() {
  const bool measure = g_mirc.measuring.load();
  const double cpu0 = measure ? CpuSeconds(g_mirc.process) : 0;
  const auto start = Clock::now();
  if (measure) PrintMark("send_begin");
  Sleep(Mirc::kSlowMs);
  if (!measure) return;
  PrintMark("send_end");
  g_mirc.slow_ms += static_cast<long long>(Since(start));
  g_mirc.slow_cpu_100ns += static_cast<long long>((CpuSeconds(g_mirc.process) - cpu0) * 1e7);
  ++g_mirc.slow_answers;
}

LRESULT CALLBACK EditProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT && lp) {
    g_mirc.answering = true;
    {
      AcquireSRWLockExclusive(&g_mirc.lock);
      g_mirc.last_line = reinterpret_cast<const char*>(lp);
      g_mirc.last_line_at = Clock::now();
      ReleaseSRWLockExclusive(&g_mirc.lock);
    }
    ++g_mirc.lines;
    if (g_mirc.slow) SlowAnswer();
    g_mirc.answering = false;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

DWORD WINAPI MircThread(LPVOID) {
  UniqueWindow mirc(CreateWindowA("mirc", "mIRC", WS_OVERLAPPEDWINDOW, 300, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr));
  HWND mdi =
      CreateWindowA("mdiclient", "", WS_CHILD, 0, 0, 10, 10, mirc.get(), nullptr, nullptr, nullptr);
  HWND channel = CreateWindowA("mirc_channel", "#bench", WS_CHILD, 0, 0, 10, 10, mdi, nullptr,
                               nullptr, nullptr);
  CreateWindowA("edit", "", WS_CHILD, 0, 0, 10, 10, channel, nullptr, GetModuleHandleW(nullptr),
                nullptr);
  SetEvent(g_mirc.ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

// Starts the stand-in mIRC's thread on construction and ends it on destruction.
class MircStandIn {
 public:
  MircStandIn() {
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_mirc.ready = ready_.get();
    thread_.reset(CreateThread(nullptr, 0, &MircThread, nullptr, 0, &g_mirc.thread_id));
    if (thread_) WaitForSingleObject(ready_.get(), 10000);
  }
  ~MircStandIn() {
    if (!thread_) return;
    PostThreadMessageW(g_mirc.thread_id, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.get(), 10000);
  }
  MircStandIn(const MircStandIn&) = delete;
  MircStandIn& operator=(const MircStandIn&) = delete;

 private:
  UniqueHandle ready_, thread_;
};

// --- Helpers around the measured program

void RegisterClassNamed(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

std::wstring TextOf(HWND w) {
  std::wstring text(1024, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &got)) {
    return L"";
  }
  text.resize(std::min<std::size_t>(got, text.size()));
  return text;
}

struct FindArgs {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};
BOOL CALLBACK FindVisible(HWND w, LPARAM lp) {
  auto* a = reinterpret_cast<FindArgs*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  if (pid == a->pid && IsWindowVisible(w) && lstrcmpiW(cls, a->cls) == 0) {
    a->found = w;
    return FALSE;
  }
  return TRUE;
}
HWND VisibleWindowOf(DWORD pid, const wchar_t* cls) {
  FindArgs a{pid, cls, nullptr};
  EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&a));
  return a.found;
}

void StoreSetting(const std::wstring& app, const wchar_t* section, const wchar_t* key,
                  const std::wstring& value) {
  const std::wstring path = L"Software\\VB and VBA Program Settings\\" + app + L"\\" + section;
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const UniqueKey key_owner(k);
  RegSetValueExW(k, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring BaseName(const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  const auto dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// Closes any message box the process shows.
void CloseBoxes(DWORD pid) {
  for (;;) {
    HWND box = VisibleWindowOf(pid, L"#32770");
    if (!box) return;
    SendMessageTimeoutW(box, WM_COMMAND, IDOK, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    Pump();
    Sleep(20);
  }
}

// The line as a JSON string body: quotes, backslashes and control bytes become '?'.
std::string JsonSafe(std::string s) {
  for (char& c : s) {
    if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return s;
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Worst(const std::vector<double>& v) {
  return v.empty() ? -1.0 : *std::max_element(v.begin(), v.end());
}

// A started program with its visible main window.
struct Program {
  UniqueHandle process, thread;
  DWORD pid = 0;
  HWND main = nullptr;
  double startup_ms = -1;

  // Asks it to close, and ends it if it does not.
  void Close() {
    if (!process) return;
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
    }
    process.reset();
  }
};

// role names the program in the "launched" mark.
std::optional<Program> Start(const std::wstring& exe, const wchar_t* main_class, const char* role) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  const auto start = Clock::now();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "cannot start %ls (%lu)\n", exe.c_str(), GetLastError());
    return std::nullopt;
  }
  Program p;
  p.process.reset(pi.hProcess);
  p.thread.reset(pi.hThread);
  p.pid = pi.dwProcessId;
  PumpUntil([&] { return (p.main = VisibleWindowOf(p.pid, main_class)) != nullptr; }, 30000);
  if (!p.main) {
    TerminateProcess(p.process.get(), 1);
    std::fprintf(stderr, "no window from %ls\n", exe.c_str());
    return std::nullopt;
  }
  p.startup_ms = Since(start);
  // Tells the script which process to follow from here on.
  Mark((std::string("launched ") + role).c_str());
  return p;
}

// Changes the player's title once a second while keep_going() holds. With a label, the
// delay until the label shows the new song is measured each time (polled every 2 ms:
// often enough for a 10 ms refresh without loading the program).
class TitleChanger {
 public:
  explicit TitleChanger(HWND player) : player_(player) {}

  template <typename F>
  std::vector<double> Run(HWND label, F keep_going) {
    std::vector<double> delays;
    while (keep_going()) {
      const std::wstring song = Next();
      const auto changed = Clock::now();
      bool seen = false;
      while (label && !seen && Since(changed) < 2000) {
        seen = TextOf(label) == song;
        if (!seen) PumpUntil([] { return false; }, 2);
      }
      if (seen) delays.push_back(Since(changed));
      PumpFor(std::max(0.0, 1000 - Since(changed)));
    }
    return delays;
  }

  // Sets the next title; returns the song the label should then show.
  std::wstring Next() {
    // Letters, not digits: the reader drops trailing numbers from the song.
    std::string name;
    for (int n = ++count_; n > 0; n /= 26) {
      name.insert(name.begin(), static_cast<char>('a' + n % 26));
    }
    SetWindowTextA(player_, ("1. Bench - Song " + name + " - Winamp").c_str());
    return L"Bench - Song " + std::wstring(name.begin(), name.end());
  }

 private:
  HWND player_;
  int count_ = 0;
};

auto ForMs(double ms) {
  const auto start = Clock::now();
  return [start, ms] { return Since(start) < ms; };
}

bool ChooseMirc(HWND main) {
  PostMessageW(GetDlgItem(main, ids::kMircOption), BM_CLICK, 0, 0);
  return PumpUntil(
      [&] {
        return SendMessageW(GetDlgItem(main, ids::kMircOption), BM_GETCHECK, 0, 0) == BST_CHECKED;
      },
      5000);
}

int Pose(Program& z, HWND player) {
  HWND label = GetDlgItem(z.main, ids::kSongLabel);
  SetWindowTextA(player, "1. Daft Punk - Digital Love (4:58) - Winamp");
  PumpUntil([&] { return TextOf(label) == L"Daft Punk - Digital Love "; }, 10000);
  PostMessageW(GetDlgItem(z.main, ids::kMircOption), BM_CLICK, 0, 0);
  PumpFor(500);
  Mark("main");
  PostMessageW(GetDlgItem(z.main, ids::kSettingsButton), BM_CLICK, 0, 0);
  PumpUntil([&] { return VisibleWindowOf(z.pid, kSettingsClass) != nullptr; }, 10000);
  PumpFor(500);
  Mark("posed");
  PumpFor(3000);
  z.Close();
  return 0;
}

DWORD FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA attr{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attr);
  return attr.nFileSizeLow;
}

std::size_t PeakWorkingSetKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(process, &pmc, sizeof(pmc));
  return static_cast<std::size_t>(pmc.PeakWorkingSetSize / 1024);
}

// Title changes before a phase, so that a program's start-up is not counted in it.
constexpr double kWarmUpMs = 2000;

int MeasureZurelo(const std::wstring& exe, double phase_s, const std::wstring& floor_exe,
                  TitleChanger& titles) {
  // The floor runs beside Zurelo from here to the end, so each phase has its own floor
  // figure from the same seconds; its first phase is alone, for the wineserver's share.
  auto floor = Start(floor_exe, kFloorClass, "floor");
  if (!floor) return 1;
  titles.Run(nullptr, ForMs(kWarmUpMs));
  Mark("alone_start");
  titles.Run(nullptr, ForMs(phase_s * 1000));
  Mark("alone_end");

  const std::wstring app = BaseName(exe);
  StoreSetting(app, L"Pause", L"Pause1", L"1000");  // one long pause: the second CPU phase
  StoreSetting(app, L"Trans", L"Trans1", L"2");
  auto z = Start(exe, kMainClass, "zurelo");
  if (!z) return 1;
  const double startup_ms = z->startup_ms;
  HWND label = GetDlgItem(z->main, ids::kSongLabel);
  titles.Run(label, ForMs(kWarmUpMs));

  Mark("idle_start");
  double cpu0 = CpuSeconds(z->process.get());
  auto start = Clock::now();
  const std::vector<double> idle_delays = titles.Run(label, ForMs(phase_s * 1000));
  const double cpu_idle = (CpuSeconds(z->process.get()) - cpu0) / (Since(start) / 1000) * 100;
  Mark("idle_end");

  // Announcing into mIRC: the time from the "On" click to the line in the edit box.
  ChooseMirc(z->main);
  const int lines_before = g_mirc.lines;
  const auto on_at = Clock::now();
  PostMessageW(GetDlgItem(z->main, ids::kOnButton), BM_CLICK, 0, 0);
  const bool line = PumpUntil([&] { return g_mirc.lines > lines_before; }, 10000);
  AcquireSRWLockExclusive(&g_mirc.lock);
  const double on_to_line_ms =
      line ? std::chrono::duration<double, std::milli>(g_mirc.last_line_at - on_at).count() : -1;
  const std::string sent_line = g_mirc.last_line;
  ReleaseSRWLockExclusive(&g_mirc.lock);
  CloseBoxes(z->pid);

  // The announcer is now in its pause.
  Mark("pause_start");
  cpu0 = CpuSeconds(z->process.get());
  start = Clock::now();
  const std::vector<double> pause_delays = titles.Run(label, ForMs(phase_s * 1000));
  const double cpu_pause = (CpuSeconds(z->process.get()) - cpu0) / (Since(start) / 1000) * 100;
  Mark("pause_end");
  const std::size_t peak_kb = PeakWorkingSetKb(z->process.get());
  DWORD handles = 0;
  GetProcessHandleCount(z->process.get(), &handles);
  z->Close();

  // A slow send: a fresh start with a 1 s pause, so that sends to the slow input box
  // follow each other until their answers add up to a phase.
  StoreSetting(app, L"Pause", L"Pause1", L"1");
  z = Start(exe, kMainClass, "zurelo");
  if (!z) return 1;
  label = GetDlgItem(z->main, ids::kSongLabel);
  titles.Run(label, ForMs(kWarmUpMs));
  ChooseMirc(z->main);
  g_mirc.slow = true;
  PostMessageW(GetDlgItem(z->main, ids::kOnButton), BM_CLICK, 0, 0);
  PumpUntil([&] { return VisibleWindowOf(z->pid, L"#32770") != nullptr; }, 5000, 10);
  CloseBoxes(z->pid);
  // An answer that began before this point is not counted: its conditions were not the
  // phase's.
  g_mirc.process = z->process.get();
  g_mirc.measuring = true;
  const auto send_start = Clock::now();
  const std::vector<double> send_delays = titles.Run(label, [&] {
    return g_mirc.slow_ms < phase_s * 1000 && Since(send_start) < (phase_s * 4 + 30) * 1000;
  });
  g_mirc.measuring = false;
  g_mirc.slow = false;
  PumpUntil([] { return !g_mirc.answering; }, Mirc::kSlowMs + 2000, 50);
  const double send_s = static_cast<double>(g_mirc.slow_ms) / 1000;
  const double cpu_send =
      send_s > 0 ? static_cast<double>(g_mirc.slow_cpu_100ns) / 1e7 / send_s * 100 : -1;
  z->Close();
  g_mirc.process = nullptr;
  Mark("floor_end");
  const std::size_t floor_peak_kb = PeakWorkingSetKb(floor->process.get());
  floor->Close();

  std::printf(
      "{\"startup_ms\": %.1f, \"cpu_idle_percent\": %.2f, \"title_to_label_ms\": %.1f, "
      "\"title_to_label_max_ms\": %.1f, \"samples\": %zu, \"on_to_line_ms\": %.1f, "
      "\"cpu_pause_percent\": %.2f, \"title_to_label_pause_ms\": %.1f, "
      "\"cpu_slow_send_percent\": %.2f, \"slow_send_seconds\": %.1f, \"slow_sends\": %d, "
      "\"title_to_label_send_ms\": %.1f, \"title_to_label_send_max_ms\": %.1f, "
      "\"peak_working_set_kb\": %zu, \"handles\": %lu, \"exe_bytes\": %lu, \"line\": \"%s\", "
      "\"floor_startup_ms\": %.1f, \"floor_peak_working_set_kb\": %zu, "
      "\"floor_exe_bytes\": %lu}\n",
      startup_ms, cpu_idle, Median(idle_delays), Worst(idle_delays), idle_delays.size(),
      on_to_line_ms, cpu_pause, Median(pause_delays), cpu_send, send_s, g_mirc.slow_answers.load(),
      Median(send_delays), Worst(send_delays), peak_kb, handles, FileBytes(exe),
      JsonSafe(sent_line).c_str(), floor->startup_ms, floor_peak_kb, FileBytes(floor_exe));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::wstring floor_exe;
  bool pose = false;
  double phase_s = 20;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == L"--pose") {
      pose = true;
    } else if (args[i] == L"--floor" && i + 1 < args.size()) {
      floor_exe = args[++i];
    } else {
      phase_s = _wtof(args[i].c_str());
    }
  }
  if (args.empty() || (!pose && (floor_exe.empty() || !(phase_s > 0)))) {
    std::fprintf(stderr,
                 "usage: zurelo_bench <Zurelo.exe> [seconds per phase] --floor <floor.exe>\n"
                 "       zurelo_bench <Zurelo.exe> --pose\n");
    return 2;
  }
  const std::wstring& exe = args[0];

  RegisterClassNamed("Winamp v1.x", DefWindowProcA);
  RegisterClassNamed("mirc", DefWindowProcA);
  RegisterClassNamed("mdiclient", DefWindowProcA);
  RegisterClassNamed("mirc_channel", DefWindowProcA);
  // The class the sender looks for is "edit": a private class of that name is found first.
  RegisterClassNamed("edit", EditProc);
  UniqueWindow player(CreateWindowA("Winamp v1.x", "1. Bench - Song - Winamp", WS_OVERLAPPEDWINDOW,
                                    0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
  const MircStandIn mirc;
  TitleChanger titles(player.get());

  if (pose) {
    auto z = Start(exe, kMainClass, "zurelo");
    return z ? Pose(*z, player.get()) : 1;
  }
  return MeasureZurelo(exe, phase_s, floor_exe, titles);
}
