#include "cli/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/export_tables.h"
#include "engine/replace_target.h"

namespace voziroz::cli {
namespace {

std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// The mode a newly created file gets (0666 less the umask), instead of mkstemp's 0600.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Makes the rename itself durable. Some file systems refuse to sync a folder; the file is in
// place either way, so a failure here is not the export's.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The file to replace: where a link leads; a target that exists and is no regular file is
// refused, as a rename would swap it (a device, say) for the export.
std::string ReplaceablePath(const std::string& target) {
  ReplaceTarget resolved = ResolveReplaceTarget(target);
  if (!resolved.Refusal.empty())
    throw ExportError("cannot replace '" + resolved.Path + "': " + resolved.Refusal);
  return std::move(resolved.Path);
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target)
    : target_(ReplaceablePath(target)), temp_path_(target_ + ".partial-XXXXXX") {
  fd_ = mkostemp(temp_path_.data(), O_CLOEXEC);
  if (fd_ < 0) Fail("cannot create a file in", FolderOf(target_));
  if (fchmod(fd_, NewFileMode()) != 0) {
    // No destructor runs for a constructor that throws: remove the file here.
    const int error = errno;
    close(fd_);
    unlink(temp_path_.c_str());
    errno = error;
    Fail("cannot set the mode of", temp_path_);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) close(fd_);
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
}

void AtomicFile::Write(const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail("cannot write", temp_path_);
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void AtomicFile::Sync() {
  if (fd_ < 0) return;
  if (fsync(fd_) != 0) Fail("cannot write", temp_path_);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) Fail("cannot write", temp_path_);
}

void AtomicFile::Commit() {
  Sync();
  ReplaceablePath(target_);  // once more: the target may have changed while the export ran
  if (rename(temp_path_.c_str(), target_.c_str()) != 0) Fail("cannot replace", target_);
  temp_path_.clear();
  SyncFolder(FolderOf(target_));
}

void AtomicFile::Fail(const char* what, const std::string& path) const {
  const int error = errno;
  throw ExportError(std::string(what) + " '" + path + "': " + std::strerror(error));
}

}  // namespace voziroz::cli
