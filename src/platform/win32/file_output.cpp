#include "platform/win32/file_output.h"

#include <algorithm>

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

std::optional<FileError> Win32FileOutput::WriteWhole(const std::wstring& path,
                                                     const std::string& bytes) {
  auto fail = [](DWORD error) { return FileError{error, ErrorDescription(error)}; };
  // Written beside the target first, so a failure leaves the old file as it was.
  const std::wstring temp = path + L".zurelo-new";
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    // The folder's own error (access denied, no such path) is the one the user needs.
    if (file.get() == INVALID_HANDLE_VALUE) return fail(GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        return fail(error);
      }
      done += written;
    }
    if (!FlushFileBuffers(file.get())) {
      const DWORD error = GetLastError();
      file.reset();
      DeleteFileW(temp.c_str());
      return fail(error);
    }
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    return fail(error);
  }
  return std::nullopt;
}

}  // namespace platform::win32
