// voziroz: the command-line tool. `voziroz COMMAND ARGS...`; see `voziroz help`.
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>

#include "cli/commands.h"

namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(std::span<char*> args);
};

constexpr Command kCommands[] = {
    {"ancestors",
     "ancestors FILE ID [N]  a person's known ancestors, N generations (10), with their names",
     voziroz::cli::RunAncestors},
    {"dump", "dump FILE             what a Parser shows of the file, as one JSON document",
     voziroz::cli::RunDump},
    {"export", "export FILE OUT.db     the tables, lines and metadata as a SQLite database",
     voziroz::cli::RunExport},
    {"export", "export FILE DIR --csv  the same as one CSV file per table",
     voziroz::cli::RunExport},
    {"info", "info FILE             the file's metadata: estimates, header, submitter, columns",
     voziroz::cli::RunInfo},
    {"lines", "lines FILE            the pre-parsed lines and the five row estimates",
     voziroz::cli::RunLines},
    {"register",
     "register [LIBRARY]    register the server (default: the one built with this tool)",
     voziroz::cli::RunRegister},
    {"tables", "tables FILE [NAME]    the five tables (or the one named), tab-separated, UTF-8",
     voziroz::cli::RunTables},
    {"unregister", "unregister [LIBRARY]  remove the server's registration",
     voziroz::cli::RunUnregister},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: voziroz COMMAND ARGS...\n");
  for (const Command& c : kCommands)
    std::fprintf(out, "  voziroz %.*s\n", int(c.usage.size()), c.usage.data());
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  std::string_view name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") return Usage(stdout);
  for (const Command& c : kCommands) {
    if (c.name == name) return c.run(std::span<char*>(argv + 2, argc - 2));
  }
  std::fprintf(stderr, "voziroz: unknown command '%s'\n", argv[1]);
  return Usage(stderr);
}
