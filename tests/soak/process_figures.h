#pragma once
// What a soak run watches in the program it drives: memory, handles and windows, read
// from outside. Under Wine some Windows counters read as 0 for another process; those are
// kept empty rather than taken for real zeros, and the host's /proc view of the same
// process fills in what Windows does not say.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace soak {

struct Figures {
  // GetProcessMemoryInfo
  std::optional<std::uint64_t> working_set;
  std::optional<std::uint64_t> peak_working_set;
  std::optional<std::uint64_t> private_bytes;  // empty when reported as 0 (no swap under Wine)
  // Handle and GUI object counts; empty when the system reports 0 (not implemented).
  std::optional<std::uint32_t> handles;
  // The handle count of the system's process list. Under Wine it is the size of the
  // process's handle table, which grows in steps of many handles: a coarse but real figure.
  std::optional<std::uint32_t> listed_handles;
  std::optional<std::uint32_t> gdi_objects;
  std::optional<std::uint32_t> user_objects;
  // Windows of the process: top-level ones and all their descendants.
  std::uint32_t top_windows = 0;
  std::uint32_t all_windows = 0;
  // The host's view (/proc/<unix pid>/status and fd), when the process could be found there.
  std::optional<std::uint64_t> host_rss;
  std::optional<std::uint64_t> host_data;  // VmData: private writable memory, heap included
  std::optional<std::uint64_t> host_virtual;
  std::optional<std::uint32_t> host_threads;
  std::optional<std::uint32_t> host_fds;
};

// Finds the host process behind a Windows process of this Wine session, by the executable
// name in its command line and the session's WINEPREFIX in its environment. Empty when not
// under Wine, or when not exactly one process matches.
std::optional<unsigned long> HostPid(const std::wstring& exe_name);

// Reads the figures of a running process; host_pid may be empty.
Figures Measure(DWORD pid, std::optional<unsigned long> host_pid);

// One line for the test output: "<what>: ws 12.3 MiB, ... windows 24/31".
std::string Describe(const char* what, const Figures& f);

// Growth from before to after for one figure, or nothing when either side is unknown.
template <typename T>
std::optional<long long> Growth(const std::optional<T>& before, const std::optional<T>& after) {
  if (!before || !after) return std::nullopt;
  return static_cast<long long>(*after) - static_cast<long long>(*before);
}

}  // namespace soak
