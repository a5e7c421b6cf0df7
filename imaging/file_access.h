// The thumbnailer's files, opened by their UTF-8 names (engine/file_name.h; file_access_posix.cpp
// on Linux, file_access_windows.cpp on Windows). Only regular files are used, as the GEDCOM reader
// does: a folder, a device or a pipe is refused without waiting on it (a FIFO would block forever).
// A name holding NUL is refused. Both throw only std::bad_alloc.
#pragma once

#include <cstdio>
#include <string>

namespace voziroz {

// The source, opened for reading; null when it is missing, unreadable or no regular file.
std::FILE* OpenSource(const std::string& name);

// The target, opened for writing, created when missing and emptied. Null, with an existing file
// left as it was, when it cannot be opened, is no regular file, or is the open `source` itself
// (under any name or link).
std::FILE* OpenTarget(const std::string& name, std::FILE* source);

}  // namespace voziroz
