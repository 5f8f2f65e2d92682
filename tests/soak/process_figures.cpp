#include "process_figures.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "harness.h"

namespace soak {
namespace {

struct FindCloser {
  void operator()(HANDLE h) const {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
using UniqueFind = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// The names in a directory, without "." and "..".
std::vector<std::wstring> DirectoryNames(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileW((dir + L"\\*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.get(), &data));
  return names;
}

bool AllDigits(const std::wstring& s) {
  if (s.empty()) return false;
  for (wchar_t c : s) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

std::optional<std::wstring> Environment(const wchar_t* name) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring value(n, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
  if (got == 0 || got >= n) return std::nullopt;
  value.resize(got);
  return value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The file name at the end of a Windows or Unix path.
std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::wstring HostProc(unsigned long pid, const wchar_t* what) {
  return L"Z:\\proc\\" + std::to_wstring(pid) + L"\\" + what;
}

// "VmRSS:     1234 kB" -> 1234 * 1024.
std::optional<std::uint64_t> StatusField(const std::string& status, const char* key, bool kb) {
  const std::string wanted = std::string("\n") + key + ":";
  std::size_t at = status.find(wanted);
  if (at == std::string::npos) return std::nullopt;
  at += wanted.size();
  while (at < status.size() && (status[at] == ' ' || status[at] == '\t')) ++at;
  std::uint64_t value = 0;
  bool any = false;
  while (at < status.size() && status[at] >= '0' && status[at] <= '9') {
    value = value * 10 + static_cast<std::uint64_t>(status[at++] - '0');
    any = true;
  }
  if (!any) return std::nullopt;
  return kb ? value * 1024 : value;
}

template <typename T>
std::optional<T> NonZero(T value) {
  return value != 0 ? std::optional<T>(value) : std::nullopt;
}

struct WindowCount {
  DWORD pid;
  std::uint32_t top = 0;
  std::uint32_t all = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowCount*>(lp)->all;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM lp) {
  auto& count = *reinterpret_cast<WindowCount*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != count.pid) return TRUE;
  ++count.top;
  ++count.all;
  EnumChildWindows(w, &CountChild, lp);
  return TRUE;
}

std::string MiB(const std::optional<std::uint64_t>& bytes) {
  if (!bytes) return "n/a";
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f MiB", static_cast<double>(*bytes) / (1024.0 * 1024.0));
  return text;
}

std::string Count(const std::optional<std::uint32_t>& n) {
  return n ? std::to_string(*n) : "n/a";
}

// The handle count that NtQuerySystemInformation lists for the process.
std::optional<std::uint32_t> ListedHandles(DWORD pid) {
  // 8-byte units keep the entries aligned as the system writes them.
  std::vector<std::uint64_t> buffer(64 * 1024);
  for (int attempt = 0; attempt < 5; ++attempt) {
    ULONG needed = 0;
    const ULONG size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    const NTSTATUS status =
        NtQuerySystemInformation(SystemProcessInformation, buffer.data(), size, &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed / sizeof(std::uint64_t) + 1));
      continue;
    }
    if (status < 0) return std::nullopt;
    const auto* base = reinterpret_cast<const unsigned char*>(buffer.data());
    for (std::size_t offset = 0;;) {
      const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(base + offset);
      if (reinterpret_cast<std::uintptr_t>(info->UniqueProcessId) == pid) {
        return NonZero<std::uint32_t>(info->HandleCount);
      }
      if (info->NextEntryOffset == 0) return std::nullopt;
      offset += info->NextEntryOffset;
      if (offset >= size) return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<unsigned long> HostPid(const std::wstring& exe_name) {
  const std::optional<std::wstring> prefix = Environment(L"WINEPREFIX");
  if (!prefix) return std::nullopt;
  const std::string prefix_entry = "WINEPREFIX=" + e2e::ToUtf8(*prefix);
  const std::string exe = e2e::ToUtf8(exe_name);
  std::optional<unsigned long> found;
  int matches = 0;
  for (const std::wstring& name : DirectoryNames(L"Z:\\proc")) {
    if (!AllDigits(name)) continue;
    const unsigned long pid = std::stoul(name);
    const std::optional<std::string> cmdline = e2e::ReadBytes(HostProc(pid, L"cmdline"));
    if (!cmdline || cmdline->empty()) continue;
    // Wine shows the Windows program as the first word of the command line.
    const std::string first = cmdline->substr(0, cmdline->find('\0'));
    if (!EqualsIgnoringCase(BaseName(first), exe)) continue;
    const std::optional<std::string> env_block = e2e::ReadBytes(HostProc(pid, L"environ"));
    if (!env_block) continue;
    // Entries are NUL-separated; match a whole one.
    const std::string padded = std::string(1, '\0') + *env_block;
    if (padded.find(std::string(1, '\0') + prefix_entry + std::string(1, '\0')) ==
        std::string::npos) {
      continue;
    }
    found = pid;
    ++matches;
  }
  return matches == 1 ? found : std::nullopt;
}

Figures Measure(DWORD pid, std::optional<unsigned long> host_pid) {
  Figures f;
  e2e::UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (process) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                             sizeof(pmc))) {
      f.working_set = NonZero<std::uint64_t>(pmc.WorkingSetSize);
      f.peak_working_set = NonZero<std::uint64_t>(pmc.PeakWorkingSetSize);
      f.private_bytes = NonZero<std::uint64_t>(pmc.PrivateUsage);
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(process.get(), &handles)) f.handles = NonZero<std::uint32_t>(handles);
    f.listed_handles = ListedHandles(pid);
    f.gdi_objects = NonZero<std::uint32_t>(GetGuiResources(process.get(), GR_GDIOBJECTS));
    f.user_objects = NonZero<std::uint32_t>(GetGuiResources(process.get(), GR_USEROBJECTS));
  }

  WindowCount windows{pid};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  f.top_windows = windows.top;
  f.all_windows = windows.all;

  if (host_pid) {
    if (const std::optional<std::string> status = e2e::ReadBytes(HostProc(*host_pid, L"status"))) {
      const std::string s = "\n" + *status;
      f.host_rss = StatusField(s, "VmRSS", true);
      f.host_data = StatusField(s, "VmData", true);
      f.host_virtual = StatusField(s, "VmSize", true);
      if (auto threads = StatusField(s, "Threads", false)) {
        f.host_threads = static_cast<std::uint32_t>(*threads);
      }
      f.host_fds = static_cast<std::uint32_t>(DirectoryNames(HostProc(*host_pid, L"fd")).size());
    }
  }
  return f;
}

std::string Describe(const char* what, const Figures& f) {
  return std::string(what) + ": working set " + MiB(f.working_set) + " (peak " +
         MiB(f.peak_working_set) + "), private " + MiB(f.private_bytes) + ", handles " +
         Count(f.handles) + " (process list " + Count(f.listed_handles) + "), GDI " +
         Count(f.gdi_objects) + ", USER " + Count(f.user_objects) + ", windows " +
         std::to_string(f.top_windows) + " top-level / " + std::to_string(f.all_windows) +
         " in all; host: RSS " + MiB(f.host_rss) + ", data " + MiB(f.host_data) + ", virtual " +
         MiB(f.host_virtual) + ", threads " + Count(f.host_threads) + ", fds " + Count(f.host_fds);
}

}  // namespace soak
