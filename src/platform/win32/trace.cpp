#include "platform/win32/trace.h"

#include <windows.h>

namespace platform::win32 {

void Trace(const std::wstring& what) {
  OutputDebugStringW((L"Zurelo: " + what + L"\n").c_str());
}

}  // namespace platform::win32
