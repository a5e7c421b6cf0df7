// The operations on local files that the FTP client needs and that differ between systems
// (local_file_system_posix.cpp, local_file_system_windows.cpp). Names are UTF-8 text without NUL
// (engine/file_name.h; ftp/local_file.h refuses a name holding one).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace voziroz::ftp {

// The size of a regular file; empty when `name` is missing or no regular file.
std::optional<std::int64_t> RegularFileSize(const std::string& name);

// std::fopen(name, "rb"); null when the file cannot be opened.
std::FILE* OpenForReading(const std::string& name);

// A new file opened for writing ("wb"); never an existing one. Null when it cannot be made;
// `taken` then says whether that was because the name exists already.
std::FILE* CreateNewFile(const std::string& name, bool& taken);

// Deletes a file; false when it cannot.
bool RemoveFile(const std::string& name);

// Moves `from` to `to`, replacing a file `to` that exists.
bool MoveReplacing(const std::string& from, const std::string& to);

// This process's identifier, to keep temporary names of two processes apart.
unsigned long ProcessId();

}  // namespace voziroz::ftp
