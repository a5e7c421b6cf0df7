// Reading a whole file: the one place where the engine asks the operating system for a file's
// bytes (file_read_posix.cpp on Linux, file_read_windows.cpp on Windows).
#pragma once

#include <string>

#include "engine/text_buffer.h"

namespace voziroz {

// Reads a regular file whole into `bytes`, with room for two more bytes (the line break that
// decoding may append). False when the file cannot be opened or read, or is no regular file
// (a folder, a device or a pipe could block or never end), and when `file_name`, UTF-8 text
// (engine/file_name.h), holds NUL.
// Throws only std::bad_alloc.
bool ReadWholeFile(const std::string& file_name, TextBuffer& bytes);

}  // namespace voziroz
