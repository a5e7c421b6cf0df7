// What the voziroz subcommands share: reading a GEDCOM file into lines with the tool's messages,
// and writing text so that every output line stays one line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/gedcom_lines.h"

namespace voziroz::cli {

// The pre-parsed lines of a file; on failure a message on standard error ("cannot read ...",
// "... holds no GEDCOM line ...") and nothing. Throws only std::bad_alloc.
std::optional<TLines> ReadLinesOrReport(const char* file_name);

// Appends UTF-8 text with \r, \n, \t, \\ and \xHH (other control bytes) escaped.
void AppendEscaped(std::string_view utf8, std::string& out);

// Writes `out` to standard output and empties it once it holds 64 KiB or more.
void FlushWhenFull(std::string& out);
// Writes `out` to standard output and flushes it; false when writing failed.
bool FlushAll(std::string& out);

}  // namespace voziroz::cli
