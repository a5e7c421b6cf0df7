// What the voziroz subcommands share: reading a GEDCOM file into lines with the tool's messages,
// and writing text so that every output line stays one line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/input_file.h"
#include "engine/gedcom_lines.h"

namespace voziroz::cli {

// The pre-parsed lines of `path`, or in `failure` why there are none ("cannot read 'NAME' ...",
// "'NAME' holds no GEDCOM line ..."; `name` is how the message names the file). Throws
// std::bad_alloc when memory runs out.
std::optional<TLines> ReadLines(const std::string& path, const std::string& name,
                                std::string& failure);

// The same with the failure on standard error.
std::optional<TLines> ReadLinesOrReport(const InputFile& input);

// After the Parser could not open `input`: reads it again to say why on standard error (out of
// memory reaches the caller as std::bad_alloc). Returns 1, the exit status.
int ReportOpenFailure(const char* command, const InputFile& input);

// Appends UTF-8 text with \r, \n, \t, \\ and \xHH (other control bytes) escaped.
void AppendEscaped(std::string_view utf8, std::string& out);

// Writes `out` to standard output and empties it once it holds 64 KiB or more.
void FlushWhenFull(std::string& out);
// Writes `out` to standard output and flushes it; false when writing failed.
bool FlushAll(std::string& out);
// FlushAll, saying on standard error when it fails; the exit status.
int FlushAllOrReport(const char* command, std::string& out);

}  // namespace voziroz::cli
