// The subcommands of the voziroz tool. Each takes the arguments after its name and returns the
// process exit code: 0 success, 1 a failure reported on standard error, 2 bad usage.
#pragma once

#include <span>

namespace voziroz::cli {

int RunAncestors(std::span<char*> args);
int RunDump(std::span<char*> args);
int RunExport(std::span<char*> args);
int RunInfo(std::span<char*> args);
int RunLines(std::span<char*> args);
int RunRegister(std::span<char*> args);
int RunTables(std::span<char*> args);
int RunUnregister(std::span<char*> args);

}  // namespace voziroz::cli
