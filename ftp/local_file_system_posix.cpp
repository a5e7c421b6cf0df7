#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ftp/local_file_system.h"

namespace voziroz::ftp {

std::optional<std::int64_t> RegularFileSize(const std::string& name) {
  struct stat info;
  if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(info.st_size);
}

std::FILE* OpenForReading(const std::string& name) {
  return std::fopen(name.c_str(), "rb");
}

std::FILE* CreateNewFile(const std::string& name, bool& taken) {
  // "x" opens only a file that did not exist, so another writer's file is never taken over.
  std::FILE* file = std::fopen(name.c_str(), "wbx");
  taken = !file && errno == EEXIST;
  return file;
}

bool RemoveFile(const std::string& name) {
  return std::remove(name.c_str()) == 0;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(::getpid());
}

}  // namespace voziroz::ftp
