// Windows reads the file through a read-only mapping of all of it. The mapping has no name: a
// name (as some readers build from the clock) would let two files opened in the same millisecond
// share one mapping and read each other's bytes.
#include <windows.h>

#include <cstdint>

#include "engine/file_name.h"
#include "engine/file_read.h"

namespace voziroz {
namespace {

struct Handle {
  HANDLE h;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

}  // namespace

bool ReadWholeFile(const std::string& file_name, TextBuffer& bytes) {
  const std::optional<SystemString> name = SystemFileName(file_name);
  if (!name) return false;
  const Handle file{CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  LARGE_INTEGER size;
  if (file.h == INVALID_HANDLE_VALUE || GetFileType(file.h) != FILE_TYPE_DISK ||
      !GetFileSizeEx(file.h, &size) ||
      static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX - 2)
    return false;
  const auto length = static_cast<std::size_t>(size.QuadPart);
  bytes.Reserve(length + 2);
  bytes.Resize(0);
  if (length == 0) return true;  // an empty file cannot be mapped; it reads as no bytes
  const Handle mapping{CreateFileMappingW(file.h, nullptr, PAGE_READONLY, 0, 0, nullptr)};
  if (!mapping.h) return false;
  const void* view = MapViewOfFile(mapping.h, FILE_MAP_READ, 0, 0, 0);
  if (!view) return false;
  bytes.Append(std::string_view(static_cast<const char*>(view), length));
  UnmapViewOfFile(view);
  return true;
}

}  // namespace voziroz
