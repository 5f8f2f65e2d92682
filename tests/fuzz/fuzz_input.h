#pragma once
// Turns fuzzer bytes into a wide text: pairs of bytes as UTF-16 units, so every unit value
// (NULs, surrogates, the non-ASCII range) is reached.

#include <cstddef>
#include <cstdint>
#include <string>

inline std::wstring WideFrom(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  }
  return text;
}
