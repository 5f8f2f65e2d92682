// The title clean-up must never read outside the title and must only ever shorten it.
#include <cstdlib>

#include "fuzz_input.h"
#include "player/now_playing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring title = WideFrom(data, size);
  const bool has_nul = title.find(L'\0') != std::wstring::npos;
  const auto song = player::CleanTitle(title);
  if (!has_nul && title.size() >= 9 && !song) std::abort();
  if (song && song->size() + 9 > title.size()) std::abort();
  if (song && title.find(*song) == std::wstring::npos) std::abort();  // a piece of the title
  // As a read that filled the buffer: half a pair may go at the end, and a scrolled title
  // is joined from two pieces of itself, so the song need not be one piece of it.
  const auto cut = player::CleanTitle(title, player::TitleRead::kFilledBuffer);
  if (!has_nul && title.size() >= 10 && !cut) std::abort();
  if (cut && cut->size() + 9 > title.size()) std::abort();
  return 0;
}
