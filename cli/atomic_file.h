// AtomicFile: a file that replaces its target only when it is complete. It is written as a new
// temporary file in the target's folder; Commit makes it durable (fsync), renames it over the
// target and syncs the folder. The target follows engine/replace_target.h: a link is followed
// and the file it names replaced; a target that exists and is no regular file is refused, when
// the AtomicFile is made and again before the rename, and left untouched. Until then, and whenever
// Commit fails or the AtomicFile is destroyed uncommitted, the target stays as it was and the
// temporary file is removed.
//
// Errors throw ExportError with the path and the system's reason.
#pragma once

#include <cstddef>
#include <string>

namespace voziroz::cli {

class AtomicFile {
 public:
  // Creates the temporary file (read-write, empty) beside `target`.
  explicit AtomicFile(const std::string& target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // The temporary file, to be written through Descriptor() or opened by name.
  const std::string& TempPath() const { return temp_path_; }
  int Descriptor() const { return fd_; }
  // Writes all of `bytes` at the current position.
  void Write(const char* bytes, std::size_t size);

  // Flushes the temporary file to disk and closes it; no more writes.
  void Sync();
  // Syncs (when not done yet) and renames the temporary file over the target. Once only.
  void Commit();

 private:
  [[noreturn]] void Fail(const char* what, const std::string& path) const;

  std::string target_;
  std::string temp_path_;
  int fd_ = -1;
};

}  // namespace voziroz::cli
