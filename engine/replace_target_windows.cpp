// Names go to the system as UTF-16. A link (a reparse point) is followed by opening it and
// asking for the final path of what was opened.
#include <windows.h>

#include "engine/file_name.h"
#include "engine/replace_target.h"
#include "engine/unicode.h"

namespace voziroz {
namespace {

struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// The final path of an open file in UTF-8, or empty when it has none that round-trips (a lone
// surrogate).
std::string FinalPath(HANDLE file) {
  std::u16string wide(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file, reinterpret_cast<LPWSTR>(wide.data()),
                                                   static_cast<DWORD>(wide.size()), 0);
    if (length == 0) return "";
    if (length < wide.size()) {
      wide.resize(length);
      break;
    }
    wide.resize(length);
  }
  std::string utf8 = Utf16ToUtf8(wide);
  return Utf8ToUtf16(utf8) == wide ? utf8 : "";
}

}  // namespace

ReplaceTarget ResolveReplaceTarget(const std::string& target) {
  const std::optional<SystemString> wide = SystemFileName(target);
  if (!wide) return {target, ""};
  const LPCWSTR name = wide->c_str();
  // No access is asked for, so nothing is read or written, and folders open too.
  const Handle file{CreateFileW(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) return {target, ""};  // missing, or for the move to report
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file.h) != FILE_TYPE_DISK || (GetFileInformationByHandle(file.h, &info) &&
                                                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)))
    return {target, "not a regular file"};
  const DWORD attributes = GetFileAttributesW(name);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return {target, ""};
  std::string path = FinalPath(file.h);
  if (path.empty()) return {target, "cannot follow the link"};
  return {path, ""};
}

}  // namespace voziroz
