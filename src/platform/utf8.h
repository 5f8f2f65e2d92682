#pragma once
// UTF-8 from the program's UTF-16 texts, written by hand so that it behaves the same on
// every system and can show a broken text as it is when asked to.

#include <string>
#include <string_view>

namespace platform {

// The byte-order mark that begins a UTF-8 file, so editors know its encoding.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// What becomes of half of a surrogate pair that has no other half.
enum class LoneSurrogates {
  kReplace,  // U+FFFD, as any reader expects of valid UTF-8
  kKeep,     // its own three bytes, so that a test can see what was really received
};

// The UTF-8 of a UTF-16 text (or, where wchar_t is 32 bits, of UTF-32); a value beyond
// Unicode always becomes U+FFFD.
std::string ToUtf8(std::wstring_view text, LoneSurrogates lone = LoneSurrogates::kReplace);

}  // namespace platform
