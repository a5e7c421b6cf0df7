// Names go to the system as UTF-16, so they mean the same whatever its ANSI code page. Files
// are compared by volume and file index: the C library's stat has no inode numbers here.
#include <io.h>
#include <windows.h>

#include "engine/windows1252.h"
#include "imaging/file_access.h"

namespace voziroz {
namespace {

std::wstring Wide(const std::string& ansi) {
  const std::u16string wide = AnsiToUtf16(ansi);
  return std::wstring(wide.begin(), wide.end());
}

bool IdentityOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
  return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
}

}  // namespace

std::FILE* OpenFile(const std::string& name, const char* mode) {
  return _wfopen(Wide(name).c_str(), Wide(mode).c_str());
}

bool IsFolder(std::FILE* file) {
  BY_HANDLE_FILE_INFORMATION info;
  return IdentityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NamesSameFile(std::FILE* file, const std::string& name) {
  BY_HANDLE_FILE_INFORMATION file_info, name_info;
  if (!IdentityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), file_info)) return false;
  HANDLE other =
      CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const bool same = IdentityOf(other, name_info) &&
                    file_info.dwVolumeSerialNumber == name_info.dwVolumeSerialNumber &&
                    file_info.nFileIndexHigh == name_info.nFileIndexHigh &&
                    file_info.nFileIndexLow == name_info.nFileIndexLow;
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  return same;
}

}  // namespace voziroz
