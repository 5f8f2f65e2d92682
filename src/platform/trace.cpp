#include "platform/trace.h"

#include <atomic>

namespace platform {
namespace {
// Set once at start; chat workers trace too, so it is read atomically.
std::atomic<TraceSink> g_sink{nullptr};
}  // namespace

void Trace(const std::wstring& what) {
  if (const TraceSink sink = g_sink.load()) sink(L"Zurelo: " + what + L"\n");
}

void SetTraceSink(TraceSink sink) {
  g_sink.store(sink);
}

}  // namespace platform
