// Benchmark driver. Owns a stand-in player window ("Winamp v1.x") and a stand-in mIRC
// window tree in this process, starts the Zurelo.exe given on the command line, and prints
// one JSON object of figures on stdout:
//   zurelo_bench <Zurelo.exe> [seconds per CPU phase, default 20]
// Figures: start-up to a visible window, CPU idle while the title changes every second,
// title-to-label delay, On-to-line delay, CPU during an announcer pause, peak memory,
// open handles and the executable's size.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "main/control_ids.h"
#include "settings/settings_ids.h"
#include "platform/win32/handles.h"

namespace {

using platform::win32::UniqueHandle;
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

// The last text the stand-in mIRC's edit box received, and when.
std::string g_last_line;
Clock::time_point g_last_line_at;
int g_lines = 0;

LRESULT CALLBACK EditProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT && lp) {
    g_last_line = reinterpret_cast<const char*>(lp);
    g_last_line_at = Clock::now();
    ++g_lines;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

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
  RegSetValueExW(k, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
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

// Tells the script around this driver where a phase begins or ends, so that it can read
// the processes' own CPU counters from the host as well.
void Mark(const char* name) {
  std::printf("mark %s\n", name);
  std::fflush(stdout);
  // The script reads the counters a moment later; Zurelo must still be there then.
  const DWORD until = GetTickCount() + 300;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zurelo_bench <Zurelo.exe> [seconds]\n");
    return 2;
  }
  const std::wstring exe = argv[1];
  // "--pose" instead of the seconds: shows both windows for screenshots and measures nothing.
  const bool pose = argc > 2 && std::wstring(argv[2]) == L"--pose";
  const double phase_s = argc > 2 && !pose ? _wtof(argv[2]) : 20.0;
  const std::wstring app = BaseName(exe);
  StoreSetting(app, L"Pause", L"Pause1", L"1000");  // one long pause: the second CPU phase
  StoreSetting(app, L"Trans", L"Trans1", L"2");

  RegisterClassNamed("Winamp v1.x", DefWindowProcA);
  RegisterClassNamed("mirc", DefWindowProcA);
  RegisterClassNamed("mdiclient", DefWindowProcA);
  RegisterClassNamed("mirc_channel", DefWindowProcA);
  UniqueWindow player(CreateWindowA("Winamp v1.x", "1. Bench - Song - Winamp", WS_OVERLAPPEDWINDOW,
                                    0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
  UniqueWindow mirc(CreateWindowA("mirc", "mIRC", WS_OVERLAPPEDWINDOW, 300, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr));
  HWND mdi =
      CreateWindowA("mdiclient", "", WS_CHILD, 0, 0, 10, 10, mirc.get(), nullptr, nullptr, nullptr);
  HWND channel = CreateWindowA("mirc_channel", "#bench", WS_CHILD, 0, 0, 10, 10, mdi, nullptr,
                               nullptr, nullptr);
  // The class the sender looks for is "edit": a private class of that name is found first.
  WNDCLASSA edit_class{};
  edit_class.lpfnWndProc = EditProc;
  edit_class.hInstance = GetModuleHandleW(nullptr);
  edit_class.lpszClassName = "edit";
  RegisterClassA(&edit_class);
  CreateWindowA("edit", "", WS_CHILD, 0, 0, 10, 10, channel, nullptr, GetModuleHandleW(nullptr),
                nullptr);

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  const auto start = Clock::now();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    std::fprintf(stderr, "cannot start Zurelo.exe (%lu)\n", GetLastError());
    return 1;
  }
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  HWND main = nullptr;
  PumpUntil([&] { return (main = VisibleWindowOf(pi.dwProcessId, kMainClass)) != nullptr; }, 30000);
  const double startup_ms = main ? Since(start) : -1;
  if (!main) {
    TerminateProcess(process.get(), 1);
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  HWND label = GetDlgItem(main, ids::kLabel1);
  if (pose) {
    SetWindowTextA(player.get(), "1. Daft Punk - Digital Love (4:58) - Winamp");
    PumpUntil([&] { return TextOf(label) == L"Daft Punk - Digital Love "; }, 10000);
    PostMessageW(GetDlgItem(main, ids::kOption3), BM_CLICK, 0, 0);
    PumpUntil([] { return false; }, 500, 50);
    Mark("main");
    PostMessageW(GetDlgItem(main, ids::kCommand7), BM_CLICK, 0, 0);
    PumpUntil([&] { return VisibleWindowOf(pi.dwProcessId, kSettingsClass) != nullptr; }, 10000);
    PumpUntil([] { return false; }, 500, 50);
    Mark("posed");
    PumpUntil([] { return false; }, 3000, 50);
    PostMessageW(main, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.get(), 10000);
    return 0;
  }
  PumpUntil([&] { return TextOf(label) == L"Bench - Song"; }, 10000);

  // Idle: the title changes every second; the delay to the label is measured each time.
  std::vector<double> delays;
  Mark("idle_start");
  const double cpu0 = CpuSeconds(process.get());
  const auto idle_start = Clock::now();
  for (int i = 1; Since(idle_start) < phase_s * 1000; ++i) {
    // Letters, not digits: the reader drops trailing numbers from the song.
    std::string name;
    for (int n = i; n > 0; n /= 26) name.insert(name.begin(), static_cast<char>('a' + n % 26));
    const std::wstring song = L"Bench - Song " + std::wstring(name.begin(), name.end());
    const std::string title = "1. Bench - Song " + name + " - Winamp";
    const auto changed = Clock::now();
    SetWindowTextA(player.get(), title.c_str());
    // Polled every 2 ms: often enough for a 10 ms refresh without loading the program.
    const auto poll = [&] { return TextOf(label) == song; };
    bool seen = false;
    while (!seen && Since(changed) < 2000) {
      seen = poll();
      if (!seen) PumpUntil([] { return false; }, 2);
    }
    if (seen) delays.push_back(Since(changed));
    PumpUntil([] { return false; }, std::max(0.0, 1000 - Since(changed)), 50);
  }
  const double idle_s = Since(idle_start) / 1000;
  const double cpu_idle = (CpuSeconds(process.get()) - cpu0) / idle_s * 100;
  Mark("idle_end");

  // Announcing into mIRC: the time from the "On" click to the line in the edit box.
  PostMessageW(GetDlgItem(main, ids::kOption3), BM_CLICK, 0, 0);
  PumpUntil(
      [&] {
        return SendMessageW(GetDlgItem(main, ids::kOption3), BM_GETCHECK, 0, 0) == BST_CHECKED;
      },
      5000);
  const int lines_before = g_lines;
  const auto on_at = Clock::now();
  PostMessageW(GetDlgItem(main, ids::kCommand4), BM_CLICK, 0, 0);
  const bool line = PumpUntil([&] { return g_lines > lines_before; }, 10000);
  const double on_to_line_ms =
      line ? std::chrono::duration<double, std::milli>(g_last_line_at - on_at).count() : -1;
  CloseBoxes(pi.dwProcessId);

  // The announcer is now in its pause.
  Mark("pause_start");
  const double cpu1 = CpuSeconds(process.get());
  const auto pause_start = Clock::now();
  PumpUntil([] { return false; }, phase_s * 1000, 50);
  const double cpu_pause = (CpuSeconds(process.get()) - cpu1) / (Since(pause_start) / 1000) * 100;

  Mark("pause_end");
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(process.get(), &pmc, sizeof(pmc));
  DWORD handles = 0;
  GetProcessHandleCount(process.get(), &handles);
  WIN32_FILE_ATTRIBUTE_DATA attr{};
  GetFileAttributesExW(exe.c_str(), GetFileExInfoStandard, &attr);

  PostMessageW(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
  }
  std::printf(
      "{\"startup_ms\": %.1f, \"cpu_idle_percent\": %.2f, \"title_to_label_ms\": %.1f, "
      "\"title_to_label_max_ms\": %.1f, \"samples\": %zu, \"on_to_line_ms\": %.1f, "
      "\"cpu_pause_percent\": %.2f, \"peak_working_set_kb\": %zu, \"handles\": %lu, "
      "\"exe_bytes\": %lu, \"line\": \"%s\"}\n",
      startup_ms, cpu_idle, Median(delays),
      delays.empty() ? -1.0 : *std::max_element(delays.begin(), delays.end()), delays.size(),
      on_to_line_ms, cpu_pause, static_cast<std::size_t>(pmc.PeakWorkingSetSize / 1024), handles,
      attr.nFileSizeLow, JsonSafe(g_last_line).c_str());
  return 0;
}
