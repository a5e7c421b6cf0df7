// Names go to the system as UTF-16 (engine/file_name.h). Files are compared by volume and file
// index: the C library's stat has no inode numbers here.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "engine/file_name.h"
#include "imaging/file_access.h"

namespace voziroz {
namespace {

HANDLE OpenHandle(const std::string& name, DWORD access, DWORD disposition) {
  const std::optional<SystemString> wide = SystemFileName(name);
  if (!wide) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide->c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION a_info, b_info;
  return GetFileInformationByHandle(a, &a_info) && GetFileInformationByHandle(b, &b_info) &&
         a_info.dwVolumeSerialNumber == b_info.dwVolumeSerialNumber &&
         a_info.nFileIndexHigh == b_info.nFileIndexHigh &&
         a_info.nFileIndexLow == b_info.nFileIndexLow;
}

// A stream over `handle`, or null (with the handle closed) when `usable` is false.
std::FILE* Adopt(HANDLE handle, bool usable, int flags, const char* mode) {
  const int fd = usable ? _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags) : -1;
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace

// A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS; devices and pipes are no disk
// files. Opening a pipe fails at once when it is busy, so nothing waits.
std::FILE* OpenSource(const std::string& name) {
  HANDLE handle = OpenHandle(name, GENERIC_READ, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return Adopt(handle, GetFileType(handle) == FILE_TYPE_DISK, _O_RDONLY | _O_BINARY, "rb");
}

std::FILE* OpenTarget(const std::string& name, std::FILE* source) {
  HANDLE handle = OpenHandle(name, GENERIC_WRITE, OPEN_ALWAYS);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const auto source_handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(source)));
  // Emptied only once checked: truncating the source would lose it before it is read.
  const bool usable = GetFileType(handle) == FILE_TYPE_DISK && !SameFile(handle, source_handle) &&
                      SetEndOfFile(handle);
  return Adopt(handle, usable, _O_WRONLY | _O_BINARY, "wb");
}

}  // namespace voziroz
