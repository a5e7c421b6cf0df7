#include "vozcom/registry_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "engine/replace_target.h"

namespace voziroz {
namespace {

constexpr off_t kMaxFileBytes = off_t{64} << 20;

[[noreturn]] void ThrowSystemError(std::string_view what, const std::string& path) {
  throw RegistryFileError(std::string(what) + " " + path + ": " + std::strerror(errno));
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates `folder` and its missing parents with `mode` (the owner only for the user's settings,
// everyone may read the system's).
void MakeFolders(const std::string& folder, mode_t mode) {
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return;
    errno = ENOTDIR;
    ThrowSystemError("cannot create the folder", folder);
  }
  const std::string parent = FolderOf(folder);
  if (parent != folder) MakeFolders(parent, mode);
  if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
    ThrowSystemError("cannot create the folder", folder);
}

// The file a link names (which need not exist yet), so that the link stays and its target is
// replaced; a registry that exists and is no regular file is never replaced.
std::string ReplaceablePath(const std::string& path) {
  const ReplaceTarget target = ResolveReplaceTarget(path);
  if (!target.Refusal.empty())
    throw RegistryFileError("cannot replace the registry " + target.Path + ": " + target.Refusal);
  return target.Path;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string ReadWhole(int fd, const std::string& path) {
  struct stat info;
  if (fstat(fd, &info) != 0) ThrowSystemError("cannot read", path);
  if (S_ISDIR(info.st_mode)) throw RegistryFileError("the registry " + path + " is a folder");
  if (!S_ISREG(info.st_mode))
    throw RegistryFileError("the registry " + path + " is not a regular file");
  if (info.st_size > kMaxFileBytes)
    throw RegistryFileError("the registry " + path + " is larger than 64 MiB");
  std::string text;
  char block[65536];
  for (;;) {
    const ssize_t got = read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowSystemError("cannot read", path);
    if (got == 0) return text;
    text.append(block, static_cast<std::size_t>(got));
    if (static_cast<off_t>(text.size()) > kMaxFileBytes)
      throw RegistryFileError("the registry " + path + " is larger than 64 MiB");
  }
}

void WriteWhole(int fd, std::string_view text, const std::string& path) {
  while (!text.empty()) {
    const ssize_t put = write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) ThrowSystemError("cannot write", path);
    text.remove_prefix(static_cast<std::size_t>(put));
  }
}

// The folder this code was loaded from (libvozcom.so's, once installed).
std::string LoadedFromFolder() {
  Dl_info info{};
  static const int kHere = 0;
  if (dladdr(&kHere, &info) == 0 || !info.dli_fname) return "";
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return "";
  return FolderOf(resolved);
}

// The install prefix of a library in `folder` (prefix/VOZIROZ_INSTALL_LIBDIR); empty when the
// folder is not an installed library folder.
std::string InstallPrefixOf(const std::string& folder) {
  const std::string libdir = std::string("/") + VOZIROZ_INSTALL_LIBDIR;
  if (!folder.ends_with(libdir)) return "";
  const std::string prefix = folder.substr(0, folder.size() - libdir.size());
  return prefix.empty() ? "/" : prefix;
}

void SyncFolder(const std::string& folder) {
  FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0 || fsync(fd.get()) != 0) ThrowSystemError("cannot sync the folder", folder);
}

}  // namespace

std::string RegistryPath() {
  if (std::string path = Environment("VOZIROZ_REGISTRY"); !path.empty()) return path;
  if (std::string config = Environment("XDG_CONFIG_HOME"); config.starts_with('/'))
    return config + "/voziroz/registry";
  if (std::string home = Environment("HOME"); !home.empty())
    return home + "/.config/voziroz/registry";
  throw RegistryFileError("no registry: neither VOZIROZ_REGISTRY nor HOME is set");
}

std::string SystemRegistryPath() {
  if (std::string path = Environment("VOZIROZ_SYSTEM_REGISTRY"); !path.empty()) return path;
  const std::string prefix = InstallPrefixOf(LoadedFromFolder());
  if (prefix.empty()) return "";
  const std::string etc = prefix == "/usr" ? "/etc" : (prefix == "/" ? "" : prefix) + "/etc";
  return etc + "/voziroz/registry";
}

std::string RegistryPathOf(RegistryScope scope) {
  if (scope == RegistryScope::User) return RegistryPath();
  std::string path = SystemRegistryPath();
  if (path.empty())
    throw RegistryFileError(
        "no system registry: libvozcom.so is not installed (set VOZIROZ_SYSTEM_REGISTRY)");
  return path;
}

RegistryScope& ThreadWriteScope() {
  thread_local RegistryScope scope = RegistryScope::User;
  return scope;
}

std::optional<std::string> LookUpRegistry(const std::string& key, const std::string& name) {
  for (const std::string& path : {RegistryPath(), SystemRegistryPath()}) {
    if (path.empty()) continue;
    const RegistryContents contents = ReadRegistry(path);
    if (const std::string* found = contents.Find(key, name)) return *found;
  }
  return std::nullopt;
}

RegistryContents ReadRegistry(const std::string& path) {
  // O_NONBLOCK: a FIFO would otherwise hold the open until a writer comes.
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0 && errno == ENOENT) return {};
  if (fd.get() < 0) ThrowSystemError("cannot open", path);
  return RegistryContents::Parse(ReadWhole(fd.get(), path));
}

RegistryTransaction::RegistryTransaction(const std::string& path, mode_t folder_mode)
    : path_(ReplaceablePath(path)) {
  MakeFolders(FolderOf(path_), folder_mode);
  const std::string lock_path = path_ + ".lock";
  FileDescriptor lock(open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0) ThrowSystemError("cannot open the lock file", lock_path);
  while (flock(lock.get(), LOCK_EX) != 0)
    if (errno != EINTR) ThrowSystemError("cannot lock", lock_path);
  contents_ = ReadRegistry(path_);
  lock_fd_ = lock.release();
}

RegistryTransaction::~RegistryTransaction() {
  close(lock_fd_);  // releases the lock
}

void RegistryTransaction::Commit() {
  const std::string new_path = path_ + ".new";
  struct stat info;
  const mode_t mode = stat(path_.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
  FileDescriptor fd(open(new_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (fd.get() < 0) ThrowSystemError("cannot create", new_path);
  try {
    WriteWhole(fd.get(), contents_.Serialize(), new_path);
    if (fsync(fd.get()) != 0) ThrowSystemError("cannot sync", new_path);
    if (close(fd.release()) != 0) ThrowSystemError("cannot write", new_path);
    ReplaceablePath(path_);  // once more: the file may have been swapped since the lock
    if (rename(new_path.c_str(), path_.c_str()) != 0) ThrowSystemError("cannot replace", path_);
  } catch (...) {
    unlink(new_path.c_str());
    throw;
  }
  SyncFolder(FolderOf(path_));
}

}  // namespace voziroz
