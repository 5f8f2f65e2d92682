// Reading the leading number of any text gives a number or infinity, never a crash or NaN.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"
#include "settings/leading_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const double n = settings::LeadingNumber(WideFrom(data, size));
  if (std::isnan(n)) std::abort();
  return 0;
}
