// Names go to the system as UTF-16 (engine/file_name.h).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "engine/file_name.h"
#include "ftp/local_file_system.h"

namespace voziroz::ftp {
namespace {

// A name holding NUL becomes the empty name, which every call refuses.
std::wstring Wide(const std::string& name) {
  return SystemFileName(name).value_or(std::wstring());
}

}  // namespace

std::optional<std::int64_t> RegularFileSize(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
    return std::nullopt;
  return (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

std::FILE* OpenForReading(const std::string& name) {
  return _wfopen(Wide(name).c_str(), L"rb");
}

std::FILE* CreateNewFile(const std::string& name, bool& taken) {
  HANDLE handle = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  taken = handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS;
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "wb");
  if (!file) _close(descriptor);
  return file;
}

bool RemoveFile(const std::string& name) {
  return DeleteFileW(Wide(name).c_str());
}

bool MoveReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

unsigned long ProcessId() {
  return GetCurrentProcessId();
}

}  // namespace voziroz::ftp
