#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "engine/file_name.h"
#include "engine/replace_target.h"

namespace voziroz {
namespace {

constexpr int kMaxLinkHops = 40;  // the system's own limit (ELOOP)

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

ReplaceTarget ResolveReplaceTarget(const std::string& target) {
  if (HoldsNul(target)) return {target, ""};
  std::string path = target;
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return {path, ""};
    if (!S_ISLNK(info.st_mode)) return {path, "not a regular file"};
    char link[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), link, sizeof link);
    if (length < 0 || length == sizeof link) return {path, "cannot read the link"};
    const std::string_view name(link, static_cast<std::size_t>(length));
    path = name.starts_with('/') ? std::string(name) : FolderOf(path) + "/" + std::string(name);
  }
  return {path, "too many levels of symbolic links"};
}

}  // namespace voziroz
