// The CSV form of `voziroz export`: one file per export table, FOLDER/NAME.csv, in the form of
// RFC 4180: UTF-8 without a byte-order mark, a header row of the column names, every record ended
// by CR LF, a field in double quotes (its quotes doubled) when it holds a comma, a double quote,
// CR or LF, so that line breaks inside values are kept. An empty cell is an empty field and
// empty text the quoted empty field "", so that readers that care can tell them apart.
#pragma once

#include <string>

#include "cli/export_progress.h"
#include "cli/export_tables.h"

namespace voziroz::cli {

// Writes the files into `folder` (made when missing; its parent must exist). Every file is
// written in full and synced before the first replaces its old version, so a failure while
// writing leaves every old file as it was and no new file behind. Throws ExportError.
void ExportToCsv(const ExportTables& tables, const std::string& folder, ExportProgress& progress);

}  // namespace voziroz::cli
