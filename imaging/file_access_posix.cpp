#include <sys/stat.h>

#include "imaging/file_access.h"

namespace voziroz {

std::FILE* OpenFile(const std::string& name, const char* mode) {
  return std::fopen(name.c_str(), mode);
}

bool IsFolder(std::FILE* file) {
  struct stat info;
  return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

bool NamesSameFile(std::FILE* file, const std::string& name) {
  struct stat file_info, name_info;
  return fstat(fileno(file), &file_info) == 0 && stat(name.c_str(), &name_info) == 0 &&
         file_info.st_dev == name_info.st_dev && file_info.st_ino == name_info.st_ino;
}

}  // namespace voziroz
