// The subcommands of the voziroz tool, run on parsed arguments (cli/main.cpp). Each returns the
// process exit code: 0 success, 1 a failure reported in one line on standard error. Errors they
// do not report themselves reach main as exceptions (out of memory among them).
#pragma once

#include <cstdint>
#include <string>

namespace voziroz::cli {

struct Options {
  std::string file;     // a GEDCOM file, "-" for standard input
  std::string output;   // export: the database file or the CSV folder
  std::string table;    // tables: the one table to print, upper-cased ("" for all)
  std::int32_t id = 0;  // ancestors: the person's identifier
  std::int32_t generations = 10;
  bool csv = false;
  std::string library;  // register, unregister: the server library ("" for the one beside)
  bool system = false;  // register, unregister: the system's registry, not the user's
};

int RunAncestors(const Options& options);
int RunDump(const Options& options);
int RunExport(const Options& options);
int RunInfo(const Options& options);
int RunLines(const Options& options);
int RunRegister(const Options& options);
int RunTables(const Options& options);
int RunUnregister(const Options& options);

}  // namespace voziroz::cli
