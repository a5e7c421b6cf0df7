#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imaging/file_access.h"

namespace voziroz {
namespace {

// Without O_NONBLOCK, opening a FIFO would wait for its other end.
constexpr int kOpenFlags = O_CLOEXEC | O_NONBLOCK;

bool IsRegular(int fd, struct stat& info) {
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

std::FILE* Adopt(int fd, const char* mode) {
  std::FILE* file = fdopen(fd, mode);
  if (file == nullptr) close(fd);
  return file;
}

}  // namespace

std::FILE* OpenSource(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | kOpenFlags);
  if (fd < 0) return nullptr;
  struct stat info;
  if (!IsRegular(fd, info)) {
    close(fd);
    return nullptr;
  }
  return Adopt(fd, "rb");
}

std::FILE* OpenTarget(const std::string& name, std::FILE* source) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | kOpenFlags, 0666);
  if (fd < 0) return nullptr;
  struct stat info, source_info;
  // Emptied only once checked: truncating the source would lose it before it is read.
  const bool usable = IsRegular(fd, info) && fstat(fileno(source), &source_info) == 0 &&
                      (info.st_dev != source_info.st_dev || info.st_ino != source_info.st_ino) &&
                      ftruncate(fd, 0) == 0;
  if (!usable) {
    close(fd);
    return nullptr;
  }
  return Adopt(fd, "wb");
}

}  // namespace voziroz
