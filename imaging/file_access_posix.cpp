#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/file_name.h"
#include "imaging/file_access.h"

namespace voziroz {
namespace {

// Without O_NONBLOCK, opening a FIFO would wait for its other end.
constexpr int kOpenFlags = O_CLOEXEC | O_NONBLOCK;

bool IsRegular(int fd, struct stat& info) {
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

int OpenByName(const std::string& name, int flags) {
  const std::optional<SystemString> system_name = SystemFileName(name);
  return system_name ? open(system_name->c_str(), flags | kOpenFlags, 0666) : -1;
}

std::FILE* Adopt(int fd, const char* mode) {
  std::FILE* file = fdopen(fd, mode);
  if (file == nullptr) close(fd);
  return file;
}

}  // namespace

std::FILE* OpenSource(const std::string& name) {
  const int fd = OpenByName(name, O_RDONLY);
  if (fd < 0) return nullptr;
  struct stat info;
  if (!IsRegular(fd, info)) {
    close(fd);
    return nullptr;
  }
  return Adopt(fd, "rb");
}

std::FILE* OpenTarget(const std::string& name, std::FILE* source) {
  const int fd = OpenByName(name, O_WRONLY | O_CREAT);
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
