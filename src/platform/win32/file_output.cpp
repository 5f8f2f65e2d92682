#include "platform/win32/file_output.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>

#include "platform/win32/handles.h"

namespace platform::win32 {

std::wstring ErrorDescription(DWORD error) {
  LPWSTR text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring out = n && text ? std::wstring(text, n) : L"Unknown error";
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' ')) {
    out.pop_back();
  }
  return out;
}

namespace {

FileError Fail(DWORD error) {
  return FileError{error, ErrorDescription(error)};
}

// Writes bytes from the file's start, cuts it there and flushes it; 0 or the error.
DWORD WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  if (!SetEndOfFile(file) || !FlushFileBuffers(file)) return GetLastError();
  return 0;
}

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, wcslen(prefix), prefix) == 0;
}

// The full path in the \\?\ form, which MAX_PATH does not limit: the names made beside a
// target whose own path barely fits must fit too. Device paths stay as they are.
std::wstring LongForm(const std::wstring& path) {
  if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) return path;
  const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return path;
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return path;
  full.resize(got);
  if (StartsWith(full, L"\\\\.\\")) return full;  // a device name such as NUL
  if (StartsWith(full, L"\\\\")) return kLongUncPrefix + full.substr(2);
  return kLongPrefix + full;
}

// A path as the user knows it, for a message.
std::wstring Shown(const std::wstring& path) {
  if (StartsWith(path, kLongUncPrefix)) return L"\\\\" + path.substr(wcslen(kLongUncPrefix));
  if (StartsWith(path, kLongPrefix)) return path.substr(wcslen(kLongPrefix));
  return path;
}

}  // namespace

std::wstring NameBeside(const std::wstring& path, int attempt, const wchar_t* extension) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
  // FNV-1a of the file's name, then one xorshift32 step for each attempt.
  std::uint32_t state = 2166136261u;
  for (std::size_t i = name; i < path.size(); ++i) {
    state = (state ^ static_cast<std::uint16_t>(path[i])) * 16777619u;
  }
  if (state == 0) state = 1;  // xorshift never leaves 0
  for (int i = 0; i <= attempt; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
  }
  std::wstring digits;
  for (int shift = 20; shift >= 0; shift -= 4) {
    digits += L"0123456789abcdef"[(state >> shift) & 0xF];
  }
  return path.substr(0, name) + L"~zu" + digits + extension;
}

namespace {

// How many names are tried before a folder is taken to be full of them.
constexpr int kNameTries = 100;

// Creates a new file beside path under a name no file had; the name goes into name.
// Never opens an existing file: one whose name is taken is left alone for the next name.
UniqueHandle CreateTemporary(const std::wstring& path, std::wstring& name) {
  for (int i = 0; i < kNameTries; ++i) {
    name = NameBeside(path, i, L".tmp");
    UniqueHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return UniqueHandle(INVALID_HANDLE_VALUE);
}

// A name beside path that no file has right now, for ReplaceFile's backup, which must be
// given a name that is free; empty when none was found.
std::wstring FreeNameBeside(const std::wstring& path) {
  for (int i = 0; i < kNameTries; ++i) {
    std::wstring name = NameBeside(path, i, L".bak");
    if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
      return name;
    }
  }
  return {};
}

// An existing file as the system finally names it: a link is followed to the file it
// points at, which is the one to write.
struct Target {
  std::wstring path;
  DWORD attributes = 0;
  DWORD names = 1;  // hard links: more than one means other names share the content
};

std::optional<Target> ExistingTarget(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return Target{path, attributes};
  }
  Target target{path, 0};
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file.get(), &info)) {
    target.attributes = info.dwFileAttributes;
    target.names = std::max<DWORD>(info.nNumberOfLinks, 1);
  }
  const DWORD need = GetFinalPathNameByHandleW(file.get(), nullptr, 0, VOLUME_NAME_DOS);
  if (need > 0) {
    std::wstring final_path(need, L'\0');
    const DWORD got =
        GetFinalPathNameByHandleW(file.get(), final_path.data(), need, VOLUME_NAME_DOS);
    if (got > 0 && got < need) {
      final_path.resize(got);
      target.path = final_path;
    }
  }
  return target;
}

// Some systems' ReplaceFile leaves the new file with its own attributes: put the old ones
// back. The archive mark is left to the system, since the content did change.
void KeepAttributes(const std::wstring& path, DWORD old) {
  constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD now = GetFileAttributesW(path.c_str());
  if (now == INVALID_FILE_ATTRIBUTES || (now & kKept) == (old & kKept)) return;
  const DWORD wanted = (old & kKept) | (now & FILE_ATTRIBUTE_ARCHIVE);
  SetFileAttributesW(path.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
}

// Whether ReplaceFile refused because another program holds the file open without
// letting it be renamed. Access denied may also mean a folder or file that may not be
// renamed at all; then the file is only held open if opening it for deletion is refused
// for sharing.
bool HeldOpen(DWORD error, const std::wstring& path) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  UniqueHandle probe(CreateFileW(path.c_str(), DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return probe.get() == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The last resort for a file held open by another program: write over it where it is.
// The file is first grown to the new length, so a full disk refuses the save before a
// single byte of the old content is overwritten.
std::optional<FileError> RewriteInPlace(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Fail(GetLastError());
  LARGE_INTEGER old_size{}, new_size{}, start{};
  new_size.QuadPart = static_cast<LONGLONG>(bytes.size());
  if (GetFileSizeEx(file.get(), &old_size) && new_size.QuadPart > old_size.QuadPart) {
    if (!SetFilePointerEx(file.get(), new_size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) {
      const DWORD error = GetLastError();
      SetFilePointerEx(file.get(), old_size, nullptr, FILE_BEGIN);
      SetEndOfFile(file.get());  // back to the old length: the old content stays whole
      return Fail(error);
    }
    SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN);
  }
  if (const DWORD error = WriteAll(file.get(), bytes)) return Fail(error);
  return std::nullopt;
}

}  // namespace

std::optional<FileError> Win32FileOutput::WriteWhole(const std::wstring& path,
                                                     const std::string& bytes) {
  const std::wstring long_path = LongForm(path);
  const std::optional<Target> target = ExistingTarget(long_path);
  // A folder is never written over, moved aside or written into.
  if (target && (target->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    FileError refused = Fail(ERROR_ACCESS_DENIED);
    refused.description += L" It is a folder, not a file: nothing was written.";
    return refused;
  }
  const std::wstring final_path = target ? target->path : long_path;
  // Replacing one name of a file with several would part it from the others.
  if (target && target->names > 1) return RewriteInPlace(final_path, bytes);
  // Written beside the target first, so a failure leaves the old file as it was.
  std::wstring temp;
  {
    UniqueHandle file = CreateTemporary(final_path, temp);
    // The folder's own error (access denied, no such path) is the one the user needs.
    if (file.get() == INVALID_HANDLE_VALUE) return Fail(GetLastError());
    if (const DWORD error = WriteAll(file.get(), bytes)) {
      file.reset();
      DeleteFileW(temp.c_str());
      return Fail(error);
    }
  }
  if (!target) {
    // Never over a file: one that came meanwhile is replaced as any existing file is.
    if (!MoveFileExW(temp.c_str(), final_path.c_str(), MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileW(temp.c_str());
      if ((error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) && ExistingTarget(path)) {
        return WriteWhole(path, bytes);
      }
      return Fail(error);
    }
    return std::nullopt;
  }
  // ReplaceFile keeps the old file's attributes and permissions. With a backup name it
  // never leaves the old content nameless, and it leaves no temporary file of its own.
  const std::wstring backup = FreeNameBeside(final_path);
  if (backup.empty()) {
    DeleteFileW(temp.c_str());
    return Fail(ERROR_FILE_EXISTS);
  }
  if (ReplaceFileW(final_path.c_str(), temp.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
    DeleteFileW(backup.c_str());
    KeepAttributes(final_path, target->attributes);
    return std::nullopt;
  }
  const DWORD error = GetLastError();
  // The old file was moved aside but the new one could not take its place: move it back,
  // or tell the user where it is.
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
      !MoveFileExW(backup.c_str(), final_path.c_str(), 0)) {
    FileError failure = Fail(error);
    failure.description += L" The old content is kept in " + Shown(backup) + L".";
    DeleteFileW(temp.c_str());
    return failure;
  }
  DeleteFileW(temp.c_str());
  if (HeldOpen(error, final_path)) return RewriteInPlace(final_path, bytes);
  return Fail(error);
}

}  // namespace platform::win32
