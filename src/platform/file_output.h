#pragma once
// Writing a whole text file at once. The file is written beside the target and put in its
// place only when every byte was written, so a failure never destroys the old file. The
// target keeps its attributes, a link is followed to the file it names, and a file another
// program holds open (and so cannot be replaced) or that has more than one name is written
// over where it is. A target that is a folder is refused. No other file is touched: the
// names used on the way are new ones.

#include <optional>
#include <string>

namespace platform {

struct FileError {
  unsigned long number = 0;  // the platform's error number
  std::wstring description;  // and its description
};

class FileOutput {
 public:
  virtual ~FileOutput() = default;
  // Replaces the file's content with bytes; returns the error when it could not.
  virtual std::optional<FileError> WriteWhole(const std::wstring& path,
                                              const std::string& bytes) = 0;
};

}  // namespace platform
