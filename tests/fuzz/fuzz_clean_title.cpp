// The title clean-up must never read outside the title and must only ever shorten it.
#include <cstdlib>

#include "fuzz_input.h"
#include "player/now_playing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring title = WideFrom(data, size);
  const auto song = player::CleanTitle(title);
  if (title.find(L'\0') == std::wstring::npos && title.size() >= 9 && !song) std::abort();
  if (song && song->size() + 9 > title.size()) std::abort();
  if (song && title.find(*song) == std::wstring::npos) std::abort();  // a piece of the title
  return 0;
}
