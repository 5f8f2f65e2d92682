#include "platform/win32/instance_claim.h"

#include <sddl.h>

#include <memory>
#include <vector>

namespace platform::win32 {
namespace {

// How long a later start waits for the running copy's window: two starts at the same
// instant find the first one still being made.
constexpr DWORD kWaitForWindowMs = 5000, kLookEveryMs = 50;

// The user's SID as text; empty when it cannot be read.
std::wstring UserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  const UniqueHandle token(raw);
  DWORD bytes = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &bytes);
  if (bytes < sizeof(TOKEN_USER)) return {};
  std::vector<unsigned char> buffer(bytes);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &bytes)) return {};
  LPWSTR text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    return {};
  }
  const std::unique_ptr<wchar_t, LocalFreer> owned(text);
  return owned.get();
}

// "Local\" keeps the name to this session; the SID to this user, as another user of the
// session has settings of his own (and could not open this user's objects). Upper case, as
// the file name and the settings' registry key ignore case.
std::wstring ObjectName(const wchar_t* what, const std::wstring& sid, std::wstring app_name) {
  if (!app_name.empty()) CharUpperBuffW(app_name.data(), static_cast<DWORD>(app_name.size()));
  return L"Local\\Zurelo." + std::wstring(what) + L"." + sid + L"." + app_name;
}

}  // namespace

Win32InstanceClaim::Win32InstanceClaim(const std::wstring& app_name) {
  const std::wstring sid = UserSid();
  mutex_.reset(CreateMutexW(nullptr, FALSE, ObjectName(L"Running", sid, app_name).c_str()));
  mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                    ObjectName(L"Window", sid, app_name).c_str()));
  if (mapping_) window_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
}

bool Win32InstanceClaim::Own(DWORD wait_ms) {
  // An abandoned mutex is owned all the same: the copy that held it ended without a word.
  const DWORD result = WaitForSingleObject(mutex_.get(), wait_ms);
  held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return held_;
}

bool Win32InstanceClaim::Take() {
  if (!mutex_ || Own(0)) return true;
  const DWORD start = GetTickCount();
  do {
    if (HWND running = Published()) {
      DWORD pid = 0;
      GetWindowThreadProcessId(running, &pid);
      // This start may hold the foreground (it was just double-clicked): it is lent on.
      AllowSetForegroundWindow(pid);
      if (PostMessageW(running, ComeForwardMessage(), 0, 0)) return false;
    }
    if (Own(kLookEveryMs)) return true;
  } while (GetTickCount() - start < kWaitForWindowMs);
  return false;
}

HWND Win32InstanceClaim::Published() const {
  if (!window_) return nullptr;
  auto* slot = static_cast<volatile LONG*>(window_.get());
  return static_cast<HWND>(LongToHandle(InterlockedCompareExchange(slot, 0, 0)));
}

void Win32InstanceClaim::Publish(HWND main_window) {
  if (!held_ || !window_) return;
  InterlockedExchange(static_cast<volatile LONG*>(window_.get()), HandleToLong(main_window));
}

void Win32InstanceClaim::GiveUp() {
  if (!held_) return;
  // The window first: a start that comes now must not hand over to a copy that is ending.
  Publish(nullptr);
  ReleaseMutex(mutex_.get());
  held_ = false;
  mutex_.reset();
}

UINT ComeForwardMessage() {
  static const UINT message = RegisterWindowMessageW(L"Zurelo.ComeForward");
  return message;
}

}  // namespace platform::win32
