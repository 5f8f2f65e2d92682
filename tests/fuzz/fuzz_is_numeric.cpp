// Whatever the numeric test accepts, the wait reads a finite number from; it never crashes.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"
#include "player/now_playing.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = WideFrom(data, size);
  if (settings::IsNumeric(text) && !std::isfinite(player::LeadingNumber(text))) std::abort();
  settings::IsNumeric(text, L',');
  return 0;
}
