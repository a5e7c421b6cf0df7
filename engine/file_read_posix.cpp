#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/file_name.h"
#include "engine/file_read.h"

namespace voziroz {

bool ReadWholeFile(const std::string& file_name, TextBuffer& bytes) {
  const std::optional<SystemString> name = SystemFileName(file_name);
  if (!name) return false;
  int fd = open(name->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
  } closer{fd};
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::size_t size = static_cast<std::size_t>(info.st_size);
  bytes.Reserve(size + 2);
  bytes.Resize(size);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = read(fd, bytes.data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;  // the file shrank while we read it
    done += static_cast<std::size_t>(got);
  }
  bytes.Resize(done);
  return true;
}

}  // namespace voziroz
