// The FILE argument of a command: a path, or "-" for standard input (a pipe or a redirected
// file). The GEDCOM reader opens regular files only, so a pipe is first copied to a temporary
// file, removed when the InputFile goes. A name with non-ASCII characters is opened here and
// handed on as /proc/self/fd/N: the Parser takes a file name as a script's UTF-16 string, which
// cannot carry a name whose bytes are not UTF-8.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace voziroz::cli {

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputFile {
 public:
  // Throws InputError when standard input cannot be copied.
  explicit InputFile(std::string_view argument);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // What the reader opens.
  const std::string& Path() const { return path_; }
  // How messages name it: the argument, or "standard input".
  const std::string& Name() const { return name_; }

 private:
  std::string path_;
  std::string name_;
  bool temporary_ = false;
  int fd_ = -1;  // held open for a name handed on as /proc/self/fd/N
};

}  // namespace voziroz::cli
