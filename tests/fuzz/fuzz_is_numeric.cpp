// Whatever the numeric test accepts, the wait reads a finite number from; it never crashes.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"
#include "settings/is_numeric.h"
#include "settings/leading_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = WideFrom(data, size);
  if (settings::IsNumeric(text) && !std::isfinite(settings::LeadingNumber(text))) std::abort();
  settings::IsNumeric(text, L',');
  return 0;
}
