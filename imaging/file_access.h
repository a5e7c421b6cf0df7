// The thumbnailer's files: opened by their Windows-1252 names, and compared by identity
// (file_access_posix.cpp on Linux, file_access_windows.cpp on Windows).
#pragma once

#include <cstdio>
#include <string>

namespace voziroz {

// std::fopen for a Windows-1252 name; null when the file cannot be opened.
std::FILE* OpenFile(const std::string& name, const char* mode);

// True when the open file is a folder.
bool IsFolder(std::FILE* file);

// True when `name` designates the open file itself (under any name or link).
bool NamesSameFile(std::FILE* file, const std::string& name);

}  // namespace voziroz
