#pragma once

#include <windows.h>

#include <string>

#include "platform/file_output.h"

namespace platform::win32 {

class Win32FileOutput : public FileOutput {
 public:
  std::optional<FileError> WriteWhole(const std::wstring& path, const std::string& bytes) override;
};

// The platform's description of an error number, without the trailing line break.
std::wstring ErrorDescription(DWORD error);

// The name a write tries beside path at the given attempt (0 first) for a file of its own,
// the temporary one (".tmp") or the old content's (".bak"): "~zu", six hex digits and the
// extension, short so that it fits wherever the target's name fits. The digits follow from
// the target's name, so its writes try the same names in the same order; a name that is
// taken is left alone and the next one tried.
std::wstring NameBeside(const std::wstring& path, int attempt, const wchar_t* extension);

}  // namespace platform::win32
