// `voziroz export FILE OUT.db` and `voziroz export FILE FOLDER --csv`: opens FILE in a Parser,
// builds its tables and writes them, with the lines and the metadata, as one SQLite database or
// as one CSV file per table. A progress line goes to standard error when it is a terminal.
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "cli/commands.h"
#include "cli/export_progress.h"
#include "cli/gedcom_export.h"
#include "cli/input_file.h"

namespace voziroz::cli {
namespace {

constexpr std::chrono::milliseconds kQuietMoment{700};

}  // namespace

int RunExport(const Options& options) {
  const InputFile input(options.file);
  ExportProgress progress(isatty(STDERR_FILENO) ? stderr : nullptr, kQuietMoment);
  try {
    ExportGedcom(input.Path(), options.output,
                 options.csv ? ExportFormat::Csv : ExportFormat::Sqlite, progress);
  } catch (...) {
    progress.End();  // the message follows on a line of its own
    throw;
  }
  return 0;
}

}  // namespace voziroz::cli
