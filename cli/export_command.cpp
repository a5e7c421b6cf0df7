// `voziroz export FILE OUT.db` and `voziroz export FILE FOLDER --csv`: opens FILE in a Parser,
// builds its tables and writes them, with the lines and the metadata, as one SQLite database or
// as one CSV file per table. A progress line goes to standard error when it is a terminal.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/export_progress.h"
#include "cli/gedcom_export.h"

namespace voziroz::cli {
namespace {

constexpr std::chrono::milliseconds kQuietMoment{700};

struct ExportArgs {
  const char* file = nullptr;
  const char* out = nullptr;
  bool csv = false;
};

bool ParseArgs(std::span<char*> args, ExportArgs& parsed) {
  std::vector<const char*> names;
  for (const char* arg : args) {
    if (std::string_view(arg) == "--csv")
      parsed.csv = true;
    else
      names.push_back(arg);
  }
  if (names.size() != 2) return false;
  parsed.file = names[0];
  parsed.out = names[1];
  return true;
}

}  // namespace

int RunExport(std::span<char*> args) {
  ExportArgs parsed;
  if (!ParseArgs(args, parsed)) {
    std::fprintf(stderr, "usage: voziroz export FILE OUT.db | voziroz export FILE FOLDER --csv\n");
    return 2;
  }
  ExportProgress progress(isatty(STDERR_FILENO) ? stderr : nullptr, kQuietMoment);
  try {
    ExportGedcom(parsed.file, parsed.out, parsed.csv ? ExportFormat::Csv : ExportFormat::Sqlite,
                 progress);
  } catch (const std::exception& error) {
    progress.End();
    std::fprintf(stderr, "voziroz export: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace voziroz::cli
