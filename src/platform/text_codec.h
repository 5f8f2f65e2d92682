#pragma once
// Conversion between the program's wide texts and the system's ANSI code page.

#include <string>

namespace platform {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // Characters the code page lacks become its default character ("?"), never a look-alike.
  virtual std::string ToAnsi(const std::wstring& text) = 0;
  virtual std::wstring FromAnsi(const std::string& bytes) = 0;
};

}  // namespace platform
