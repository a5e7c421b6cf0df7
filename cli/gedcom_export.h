// ExportGedcom: the whole of `voziroz export` below its arguments: opens a GEDCOM file in a
// Parser, builds its tables and writes them with its lines and metadata in one format.
#pragma once

#include <string>

#include "cli/export_progress.h"

namespace voziroz::cli {

enum class ExportFormat { Sqlite, Csv };

// Writes the export of `gedcom_file` to `out` (the database file, or the folder of the CSV
// files). Throws ExportError when the file cannot be opened or the output cannot be written; the
// output is then as it was (sqlite_export.h, csv_export.h).
void ExportGedcom(const std::string& gedcom_file, const std::string& out, ExportFormat format,
                  ExportProgress& progress);

}  // namespace voziroz::cli
