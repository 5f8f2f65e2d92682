// Benchmark driver. Starts the stand-in player (answering questions as the player does) and
// mIRC (zurelo_peer.exe, the end-to-end tests' peer), the floor program and Zurelo.exe;
// prints "mark <name>" at the edges of each phase (scripts/bench reads the processes' CPU
// counters from the host there) and at the end one JSON object of figures:
//   zurelo_bench <Zurelo.exe> [seconds per phase, default 20] --floor <floor.exe>
//                --peer <zurelo_peer.exe> [--starts N] [--only starts|idle]
//   zurelo_bench <Zurelo.exe> --peer <zurelo_peer.exe> --pose
//                shows both windows for screenshots, measures nothing
// The player's title changes every second, except in the steady phases. Phases: the floor
// alone, then with the floor running beside it Zurelo idle, in an announcer pause, with the
// song steady (without, then with "Announce Each Song Once" on into mIRC and the
// now-playing file chosen), and in a slow send (the mIRC peer takes 3 s over each message
// its windows receive; only the time inside those answers counts). Figures besides: start-up to a
// visible window, the title-to-label delay in each phase, "On" to the line, peak memory, open
// handles, the files' sizes. At the end the floor and Zurelo are started N times in turn
// (default 5; "started <role>" marks each, settled), for the medians of start-up and peak
// memory. --only starts measures those alone; --only idle the floor alone and Zurelo idle.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench_floor.h"
#include "harness.h"
#include "main/chat_clients.h"
#include "main/control_ids.h"
#include "main/formats_ids.h"
#include "peers/peer_protocol.h"
#include "settings/settings_ids.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

std::chrono::milliseconds Ms(double ms) {
  return std::chrono::milliseconds(static_cast<long long>(std::max(0.0, ms)));
}

// One printf per line keeps the lines whole.
void PrintMark(const char* name) {
  std::printf("mark %s\n", name);
  std::fflush(stdout);
}

// Marks the edge of a phase. The script reads the counters a moment later, and the
// program must still be in the same state then.
void Mark(const std::string& name) {
  PrintMark(name.c_str());
  e2e::Pause(300ms);
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

// How often a slow send's log is looked at: its marks are this late at most. Each look
// costs the wineserver a little, which its figure includes: looking more often showed there.
constexpr auto kTick = 10ms;

// Waits ms; with a tick, calls it every kTick meanwhile.
void WaitFor(double ms, const std::function<void()>& tick) {
  if (!tick) {
    e2e::Pause(Ms(ms));
    return;
  }
  const auto start = Clock::now();
  while (Since(start) < ms) {
    tick();
    e2e::Pause(kTick);
  }
}

// Follows the mIRC peer's log through its slow answers. An answer begins with the line of
// the message it is over and ends with "slow answered". While measuring, each answer's
// edges are marked for the script, and its length and the program's CPU time in it added
// up; an answer that began before measuring is not counted, one that ends after is.
class SlowAnswers {
 public:
  explicit SlowAnswers(const std::wstring& log) : tail_(log) {}

  void Measure(HANDLE process) {
    process_ = process;
    measuring_ = true;
  }
  void StopMeasuring() { measuring_ = false; }

  void Poll() {
    for (const e2e::PeerEvent& e : tail_.Next()) {
      if (e.window == "slow") {
        if (e.what == "begin") slow_ = true;
        if (e.what == "end") slow_ = false;
        if (e.what == "answered") End();
      } else if (slow_ && !answering_ && e2e::IsMessageEvent(e) && e.what != "sent" &&
                 e.what != "clicked") {
        Begin();
      }
    }
  }

  bool slow() const { return slow_; }
  bool answering() const { return answering_; }
  double ms() const { return ms_; }
  int count() const { return count_; }
  double cpu_seconds() const { return cpu_seconds_; }

 private:
  void Begin() {
    answering_ = true;
    counted_ = measuring_;
    if (!counted_) return;
    cpu0_ = CpuSeconds(process_);
    begin_ = Clock::now();
    PrintMark("send_begin");
  }
  void End() {
    if (answering_ && counted_) {
      PrintMark("send_end");
      ms_ += Since(begin_);
      cpu_seconds_ += CpuSeconds(process_) - cpu0_;
      ++count_;
    }
    answering_ = counted_ = false;
  }

  e2e::PeerLogTail tail_;
  HANDLE process_ = nullptr;
  bool measuring_ = false, slow_ = false, answering_ = false, counted_ = false;
  Clock::time_point begin_;
  double cpu0_ = 0, ms_ = 0, cpu_seconds_ = 0;
  int count_ = 0;
};

std::wstring BaseName(const std::wstring& path) {
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  const auto dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// Closes the message box the process shows (waiting for it) and any other.
void CloseBoxes(DWORD pid) {
  if (const std::optional<e2e::Box> box = e2e::WaitMessageBox(pid, 5s)) e2e::CloseBox(*box);
  for (const e2e::Box& box : e2e::MessageBoxes(pid)) e2e::CloseBox(box);
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
  e2e::Process process;
  HWND main = nullptr;
  double startup_ms = -1;

  // Asks it to close, and ends it if it does not.
  void Close() {
    if (!process.started()) return;
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (!process.WaitExit(10s)) process.Stop();
    process = e2e::Process();
  }
};

// role names the program in the "launched" mark.
std::optional<Program> Start(const std::wstring& exe, const wchar_t* main_class, const char* role) {
  Program p;
  const auto start = Clock::now();
  p.process = e2e::Process::Start(exe);
  if (!p.process.started()) {
    std::fprintf(stderr, "cannot start %ls: %s\n", exe.c_str(), p.process.Describe().c_str());
    return std::nullopt;
  }
  // Looked for every millisecond: the start-up time is one of the figures.
  e2e::WaitUntil(
      [&] {
        const std::vector<HWND> found = e2e::TopLevelWindows(main_class, p.process.pid());
        p.main = found.empty() ? nullptr : found.front();
        return p.main != nullptr;
      },
      30s, 1ms);
  if (!p.main) {
    std::fprintf(stderr, "no window from %ls\n", exe.c_str());
    return std::nullopt;
  }
  p.startup_ms = Since(start);
  // Tells the script which process to follow from here on.
  Mark(std::string("launched ") + role);
  return p;
}

// Changes the player's title once a second while keep_going() holds. With a label, the
// delay until the label shows the new song is measured each time (polled every 2 ms:
// often enough for a 10 ms refresh without loading the program). A tick, when given, is
// called every few milliseconds throughout.
class TitleChanger {
 public:
  explicit TitleChanger(HWND player) : player_(player) {}

  std::vector<double> Run(HWND label, const std::function<bool()>& keep_going,
                          const std::function<void()>& tick = {}) {
    std::vector<double> delays;
    while (keep_going()) {
      const std::wstring song = Next();
      const auto changed = Clock::now();
      bool seen = false;
      while (label && !seen && Since(changed) < 2000) {
        // Read without a message: a WM_GETTEXT every 2 ms would wake Zurelo and count its
        // answers as Zurelo's own CPU.
        seen = platform::win32::CaptionOf(label, 256) == song;
        if (tick) tick();
        if (!seen) e2e::Pause(2ms);
      }
      if (seen) delays.push_back(Since(changed));
      WaitFor(1000 - Since(changed), tick);
    }
    return delays;
  }

  // Sets the next title; returns the song the label should then show.
  std::wstring Next() {
    // Letters, not digits: the reader drops trailing numbers from the song.
    std::wstring name;
    for (int n = ++count_; n > 0; n /= 26) {
      name.insert(name.begin(), static_cast<wchar_t>(L'a' + n % 26));
    }
    e2e::SetText(player_, L"1. Bench - Song " + name + L" - Winamp");
    return L"Bench - Song " + name;
  }

 private:
  HWND player_;
  int count_ = 0;
};

std::function<bool()> ForMs(double ms) {
  const auto start = Clock::now();
  return [start, ms] { return Since(start) < ms; };
}

bool ChooseMirc(HWND main) {
  e2e::PostClick(GetDlgItem(main, ids::kMircOption));
  return e2e::WaitUntil([&] { return e2e::IsChecked(GetDlgItem(main, ids::kMircOption)); }, 5s);
}

int Pose(Program& z) {
  HWND label = GetDlgItem(z.main, ids::kSongLabel);
  e2e::WaitUntil([&] { return e2e::TextOf(label) == L"Daft Punk - Digital Love "; }, 10s);
  e2e::PostClick(GetDlgItem(z.main, ids::kMircOption));
  e2e::Pause(500ms);
  Mark("main");
  e2e::PostClick(GetDlgItem(z.main, ids::kSettingsButton));
  e2e::WaitTopLevel(kSettingsClass, z.process.pid());
  e2e::Pause(500ms);
  Mark("posed");
  // The formats window with a line's format and two files, one for the artist and one for
  // the title (their folder is made for the picture and removed after it).
  const std::wstring folder = L"C:\\obs";
  CreateDirectoryW(folder.c_str(), nullptr);
  PostMessageW(z.main, WM_SYSCOMMAND, ids::kFormatsCommand, 0);
  HWND formats = e2e::WaitTopLevel(kFormatsClass, z.process.pid());
  const auto box = [&](int id, const std::wstring& text) {
    e2e::SetText(GetDlgItem(formats, id), text);
  };
  const auto add = [&](const std::wstring& name, const std::wstring& playing,
                       const std::wstring& paused) {
    box(ids::kFilePathBox, folder + L"\\" + name);
    box(ids::kPlayingBox, playing);
    box(ids::kPausedBox, paused);
    box(ids::kStoppedBox, L"");
    e2e::PostClick(GetDlgItem(formats, ids::kAddFileButton));
    e2e::Pause(300ms);
  };
  add(L"artist.txt", L"{artist}", L"{artist}");
  add(L"title.txt", L"{title} ({position} / {length})", L"{title} [{state}]");
  box(ids::kLineFormatBox, L"/me is listening to {artist} - {title} [{length}]");
  e2e::PostClick(GetDlgItem(formats, ids::kSaveLineButton));
  e2e::Pause(500ms);
  Mark("formats");
  e2e::Pause(3000ms);
  z.Close();
  for (const wchar_t* name : {L"artist.txt", L"title.txt"}) {
    DeleteFileW((folder + L"\\" + name).c_str());
  }
  RemoveDirectoryW(folder.c_str());
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
// How long the mIRC peer takes over each message in the slow send.
constexpr DWORD kSlowMs = 3000;

// A steady song, without and then with the system menu's choices: announce each song once
// (the announcer on, into mIRC) and the now-playing file. Both should cost what a steady
// song costs anyway: nothing is sent or written while the song stays the same.
void MeasureSteadySong(const std::wstring& exe, double phase_s, const std::wstring& np_file) {
  const std::wstring app = BaseName(exe);
  e2e::StoreSetting(L"Pause", L"Pause1", L"1", app);
  auto z = Start(exe, kMainClass, "zurelo");
  if (!z) return;
  e2e::Pause(Ms(kWarmUpMs));
  Mark("steady_start");
  e2e::Pause(Ms(phase_s * 1000));
  Mark("steady_end");
  PostMessageW(z->main, WM_SYSCOMMAND, ids::kNowPlayingFileCommand, 0);
  if (HWND dialog = e2e::WaitFileDialog(z->process.pid(), 3s)) {
    e2e::ConfirmFileDialog(dialog, np_file);
  }
  PostMessageW(z->main, WM_SYSCOMMAND, ids::kAnnounceOnceCommand, 0);
  ChooseMirc(z->main);
  e2e::PostClick(GetDlgItem(z->main, ids::kOnButton));
  CloseBoxes(z->process.pid());
  e2e::Pause(Ms(kWarmUpMs));
  Mark("options_start");
  e2e::Pause(Ms(phase_s * 1000));
  Mark("options_end");
  z->Close();
}

// Milliseconds from `from` until mIRC's input box gets a text, seen in the peer's log (looked
// at every millisecond); -1 when none comes. The text is kept in bytes when asked.
double MsToLine(e2e::PeerLogTail& log, Clock::time_point from, std::string* bytes = nullptr) {
  Clock::time_point at;
  const bool line = e2e::WaitUntil(
      [&] {
        for (const e2e::PeerEvent& e : log.Next()) {
          if (e.window == "mirc.edit" && e.what == "WM_SETTEXT") {
            at = Clock::now();
            if (bytes) *bytes = e.Bytes();
            return true;
          }
        }
        return false;
      },
      10s, 1ms);
  return line ? std::chrono::duration<double, std::milli>(at - from).count() : -1;
}

// "On" clicked again and again, each time from an announcer at rest: the time from the click
// to the line in mIRC's input box, seen in the peer's log (looked at every millisecond).
// Between the samples Off, and a wait longer than the short pause, end the cycle.
constexpr int kOnSamples = 12;
std::vector<double> MeasureOnToLine(const std::wstring& exe, e2e::Peer& mirc) {
  std::vector<double> samples;
  e2e::StoreSetting(L"Pause", L"Pause1", L"0.2", BaseName(exe));
  auto z = Start(exe, kMainClass, "zurelo");
  if (!z) return samples;
  ChooseMirc(z->main);
  e2e::Pause(Ms(kWarmUpMs));
  e2e::PeerLogTail mirc_log(mirc.log().path());
  mirc_log.Next();  // what came before
  for (int i = 0; i < kOnSamples; ++i) {
    const auto on_at = Clock::now();
    e2e::PostClick(GetDlgItem(z->main, ids::kOnButton));
    const double ms = MsToLine(mirc_log, on_at);
    if (ms >= 0) samples.push_back(ms);
    CloseBoxes(z->process.pid());
    e2e::PostClick(GetDlgItem(z->main, ids::kOffButton));
    CloseBoxes(z->process.pid());
    e2e::Pause(600ms);
    mirc_log.Next();  // the rest of that line
  }
  z->Close();
  return samples;
}

// Start-up time and peak memory differ from one start to the next by more than the gap being
// measured, so both programs are started several times, in turn, under the same conditions.
struct Starts {
  std::vector<double> zurelo_ms, floor_ms, zurelo_peak_kb, floor_peak_kb;
};

// How long a started program runs before its peak memory is read: its first ticks and paints.
constexpr auto kSettle = 1000ms;

Starts MeasureStarts(const std::wstring& exe, const std::wstring& floor_exe, int count) {
  Starts starts;
  const auto once = [](const std::wstring& path, const wchar_t* main_class, const char* role,
                       std::vector<double>& ms, std::vector<double>& peak_kb) {
    auto p = Start(path, main_class, role);
    if (!p) return;
    ms.push_back(p->startup_ms);
    e2e::Pause(kSettle);
    // The script reads the peak resident memory here, while the program runs.
    Mark(std::string("started ") + role);
    peak_kb.push_back(static_cast<double>(PeakWorkingSetKb(p->process.handle())));
    p->Close();
  };
  for (int i = 0; i < count; ++i) {
    once(floor_exe, kFloorClass, "floor", starts.floor_ms, starts.floor_peak_kb);
    once(exe, kMainClass, "zurelo", starts.zurelo_ms, starts.zurelo_peak_kb);
  }
  return starts;
}

// The samples as a JSON array body.
std::string JsonList(const std::vector<double>& v) {
  std::string out;
  for (double x : v) {
    if (!out.empty()) out += ", ";
    out += std::to_string(static_cast<long long>(std::lround(x)));
  }
  return out;
}

void PrintStarts(const Starts& s) {
  std::printf("\"startup_samples_ms\": [%s], \"floor_startup_samples_ms\": [%s], ",
              JsonList(s.zurelo_ms).c_str(), JsonList(s.floor_ms).c_str());
  std::printf(
      "\"starts\": %zu, \"startup_median_ms\": %.1f, \"floor_startup_median_ms\": %.1f, "
      "\"start_peak_working_set_kb\": %.0f, \"floor_start_peak_working_set_kb\": %.0f",
      std::min(s.zurelo_ms.size(), s.floor_ms.size()), Median(s.zurelo_ms), Median(s.floor_ms),
      Median(s.zurelo_peak_kb), Median(s.floor_peak_kb));
}

// The settings of the idle phase and of the starts, from the defaults: the steady phase leaves
// the system menu's choices on, and each build is to start as the others did.
void StoreIdleSettings(const std::wstring& app) {
  e2e::ClearSettings(app);
  e2e::StoreSetting(L"Pause", L"Pause1", L"1000", app);  // one long pause: the second phase
  e2e::StoreSetting(L"Trans", L"Trans1", L"2", app);
}

// What a run measures: everything, or a part for a quicker look.
enum class Only { kAll, kStarts, kIdle };

int MeasureZurelo(const std::wstring& exe, double phase_s, const std::wstring& floor_exe,
                  TitleChanger& titles, e2e::Peer& mirc, const std::wstring& np_file,
                  int start_count, Only only) {
  const std::wstring app = BaseName(exe);
  StoreIdleSettings(app);
  // The floor runs beside Zurelo from here to the end, so each phase has its own floor
  // figure from the same seconds; its first phase is alone, for the wineserver's share.
  auto floor = Start(floor_exe, kFloorClass, "floor");
  if (!floor) return 1;
  titles.Run(nullptr, ForMs(kWarmUpMs));
  Mark("alone_start");
  titles.Run(nullptr, ForMs(phase_s * 1000));
  Mark("alone_end");

  auto z = Start(exe, kMainClass, "zurelo");
  if (!z) return 1;
  const double startup_ms = z->startup_ms;
  HWND label = GetDlgItem(z->main, ids::kSongLabel);
  titles.Run(label, ForMs(kWarmUpMs));

  Mark("idle_start");
  double cpu0 = CpuSeconds(z->process.handle());
  auto start = Clock::now();
  const std::vector<double> idle_delays = titles.Run(label, ForMs(phase_s * 1000));
  const double cpu_idle = (CpuSeconds(z->process.handle()) - cpu0) / (Since(start) / 1000) * 100;
  Mark("idle_end");
  if (only == Only::kIdle) {
    z->Close();
    Mark("floor_end");
    floor->Close();
    std::printf(
        "{\"cpu_idle_percent\": %.2f, \"title_to_label_ms\": %.1f, "
        "\"title_to_label_max_ms\": %.1f, \"samples\": %zu, \"startup_ms\": %.1f, "
        "\"floor_startup_ms\": %.1f}\n",
        cpu_idle, Median(idle_delays), Worst(idle_delays), idle_delays.size(), startup_ms,
        floor->startup_ms);
    return 0;
  }

  // Announcing into mIRC: the time from the "On" click to the line in the input box, seen
  // in the peer's log (looked at every millisecond).
  ChooseMirc(z->main);
  e2e::PeerLogTail mirc_log(mirc.log().path());
  mirc_log.Next();  // what came before
  std::string sent_line;
  const auto on_at = Clock::now();
  e2e::PostClick(GetDlgItem(z->main, ids::kOnButton));
  const double on_to_line_ms = MsToLine(mirc_log, on_at, &sent_line);
  CloseBoxes(z->process.pid());

  // The announcer is now in its pause.
  Mark("pause_start");
  cpu0 = CpuSeconds(z->process.handle());
  start = Clock::now();
  const std::vector<double> pause_delays = titles.Run(label, ForMs(phase_s * 1000));
  const double cpu_pause = (CpuSeconds(z->process.handle()) - cpu0) / (Since(start) / 1000) * 100;
  Mark("pause_end");
  const std::size_t peak_kb = PeakWorkingSetKb(z->process.handle());
  // A running program always holds some handles: a count of 0 means the system (Wine, say)
  // did not tell, and is printed as n/a rather than as a figure.
  DWORD handles = 0;
  const long handle_figure =
      GetProcessHandleCount(z->process.handle(), &handles) && handles > 0 ? long(handles) : -1L;
  z->Close();

  MeasureSteadySong(exe, phase_s, np_file);
  const std::vector<double> on_samples = MeasureOnToLine(exe, mirc);

  // A slow send: a fresh start with a 1 s pause, so that sends to the slow client follow
  // each other until their answers add up to a phase.
  SlowAnswers answers(mirc.log().path());
  // Looked at no more often than every kTick, however often the title changer asks.
  auto last_look = Clock::now() - kTick;
  const auto poll = [&answers, &last_look] {
    if (Clock::now() - last_look < kTick) return;
    last_look = Clock::now();
    answers.Poll();
  };
  PostMessageW(mirc.Top(), peer::kSlowMessage, kSlowMs, 0);
  e2e::StoreSetting(L"Pause", L"Pause1", L"1", app);
  z = Start(exe, kMainClass, "zurelo");
  if (!z) return 1;
  label = GetDlgItem(z->main, ids::kSongLabel);
  titles.Run(label, ForMs(kWarmUpMs), poll);
  ChooseMirc(z->main);
  if (!e2e::WaitUntil(
          [&] {
            answers.Poll();
            return answers.slow();
          },
          5s)) {
    std::fprintf(stderr, "the mIRC peer did not turn slow\n");
  }
  e2e::PostClick(GetDlgItem(z->main, ids::kOnButton));
  CloseBoxes(z->process.pid());
  // An answer that began before this point is not counted: its conditions were not the
  // phase's.
  answers.Measure(z->process.handle());
  const auto send_start = Clock::now();
  const std::vector<double> send_delays = titles.Run(
      label,
      [&] {
        return answers.ms() < phase_s * 1000 && Since(send_start) < (phase_s * 4 + 30) * 1000;
      },
      poll);
  answers.StopMeasuring();
  e2e::WaitUntil(
      [&] {
        answers.Poll();
        return !answers.answering();
      },
      Ms(kSlowMs + 2000), kTick);
  PostMessageW(mirc.Top(), peer::kSlowMessage, 0, 0);
  const double send_s = answers.ms() / 1000;
  const double cpu_send = send_s > 0 ? answers.cpu_seconds() / send_s * 100 : -1;
  z->Close();
  Mark("floor_end");
  const std::size_t floor_peak_kb = PeakWorkingSetKb(floor->process.handle());
  floor->Close();

  StoreIdleSettings(app);
  const Starts starts = MeasureStarts(exe, floor_exe, start_count);

  std::printf(
      "{\"startup_ms\": %.1f, \"cpu_idle_percent\": %.2f, \"title_to_label_ms\": %.1f, "
      "\"title_to_label_max_ms\": %.1f, \"samples\": %zu, \"on_to_line_first_ms\": %.1f, "
      "\"on_to_line_ms\": %.1f, \"on_to_line_max_ms\": %.1f, \"on_samples\": %zu, "
      "\"cpu_pause_percent\": %.2f, \"title_to_label_pause_ms\": %.1f, "
      "\"cpu_slow_send_percent\": %.2f, \"slow_send_seconds\": %.1f, \"slow_sends\": %d, "
      "\"title_to_label_send_ms\": %.1f, \"title_to_label_send_max_ms\": %.1f, "
      "\"peak_working_set_kb\": %zu, \"handles\": %ld, \"exe_bytes\": %lu, \"line\": \"%s\", "
      "\"floor_startup_ms\": %.1f, \"floor_peak_working_set_kb\": %zu, "
      "\"floor_exe_bytes\": %lu, ",
      startup_ms, cpu_idle, Median(idle_delays), Worst(idle_delays), idle_delays.size(),
      on_to_line_ms, Median(on_samples), Worst(on_samples), on_samples.size(), cpu_pause,
      Median(pause_delays), cpu_send, send_s, answers.count(), Median(send_delays),
      Worst(send_delays), peak_kb, handle_figure, FileBytes(exe), JsonSafe(sent_line).c_str(),
      floor->startup_ms, floor_peak_kb, FileBytes(floor_exe));
  PrintStarts(starts);
  std::printf("}\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::wstring floor_exe;
  bool pose = false;
  Only only = Only::kAll;
  double phase_s = 20;
  int start_count = 5;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == L"--pose") {
      pose = true;
    } else if (args[i] == L"--floor" && i + 1 < args.size()) {
      floor_exe = e2e::WindowsPath(args[++i]);
    } else if (args[i] == L"--peer" && i + 1 < args.size()) {
      e2e::ProgramPaths().peer = e2e::WindowsPath(args[++i]);
    } else if (args[i] == L"--starts" && i + 1 < args.size()) {
      start_count = std::max(1, _wtoi(args[++i].c_str()));
    } else if (args[i] == L"--only" && i + 1 < args.size()) {
      ++i;
      only = args[i] == L"starts" ? Only::kStarts : args[i] == L"idle" ? Only::kIdle : Only::kAll;
    } else {
      phase_s = _wtof(args[i].c_str());
    }
  }
  if (args.empty() || e2e::ProgramPaths().peer.empty() ||
      (!pose && (floor_exe.empty() || !(phase_s > 0)))) {
    std::fprintf(stderr,
                 "usage: zurelo_bench <Zurelo.exe> [seconds per phase] --floor <floor.exe> "
                 "--peer <zurelo_peer.exe> [--starts N] [--only starts|idle]\n"
                 "       zurelo_bench <Zurelo.exe> --peer <zurelo_peer.exe> --pose\n");
    return 2;
  }
  const std::wstring exe = e2e::WindowsPath(args[0]);

  // The peers' logs live in a folder of their own, removed at the end.
  const e2e::TempDir dir;
  e2e::Peer player;
  // The player answers questions as the real one does, its time played going on.
  if (!player.Start(
          "player", dir.File(L"player.log"),
          pose ? L"1. Daft Punk - Digital Love (4:58) - Winamp" : L"1. Bench - Song - Winamp",
          {L"--answers", L"running"})) {
    std::fprintf(stderr, "the player peer did not start: %s\n", player.Describe().c_str());
    return 1;
  }
  if (pose) {
    // The pictures show the settings a first start has, whatever a bench run stored.
    e2e::ClearSettings(BaseName(exe));
    auto z = Start(exe, kMainClass, "zurelo");
    return z ? Pose(*z) : 1;
  }
  if (only == Only::kStarts) {
    StoreIdleSettings(BaseName(exe));
    const Starts starts = MeasureStarts(exe, floor_exe, start_count);
    std::printf("{");
    PrintStarts(starts);
    std::printf("}\n");
    return 0;
  }
  e2e::Peer mirc;
  if (!mirc.Start("mirc", dir.File(L"mirc.log"))) {
    std::fprintf(stderr, "the mIRC peer did not start: %s\n", mirc.Describe().c_str());
    return 1;
  }
  TitleChanger titles(player.Top());
  return MeasureZurelo(exe, phase_s, floor_exe, titles, mirc, dir.File(L"nowplaying.txt"),
                       start_count, only);
}
