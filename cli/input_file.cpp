#include "cli/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace voziroz::cli {
namespace {

[[noreturn]] void ThrowCopyError(const std::string& path) {
  throw InputError("cannot copy standard input to " + path + ": " + std::strerror(errno));
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// Copies standard input into a new temporary file and returns its name.
std::string SpoolStandardInput() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = std::string(folder && *folder ? folder : "/tmp") + "/voziroz-stdin-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) ThrowCopyError(path);
  char block[1 << 16];
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) break;
    if (got < 0 || !WriteAll(fd, block, static_cast<std::size_t>(got))) {
      const int error = errno;
      close(fd);
      unlink(path.c_str());
      errno = error;
      ThrowCopyError(path);
    }
  }
  if (close(fd) != 0) ThrowCopyError(path);
  return path;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

InputFile::InputFile(std::string_view argument) : path_(argument), name_(argument) {
  if (argument != "-") {
    if (IsAscii(argument)) return;
    // Without blocking on a FIFO; a file that does not open keeps its name for the messages.
    fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ >= 0) path_ = "/proc/self/fd/" + std::to_string(fd_);
    return;
  }
  name_ = "standard input";
  struct stat info;
  if (fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
    path_ = "/proc/self/fd/0";  // a redirected file is read where it is
    return;
  }
  path_ = SpoolStandardInput();
  temporary_ = true;
}

InputFile::~InputFile() {
  if (temporary_) unlink(path_.c_str());
  if (fd_ >= 0) close(fd_);
}

}  // namespace voziroz::cli
