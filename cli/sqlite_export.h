// The SQLite form of `voziroz export`: one database with a table per export table (same name,
// same columns in the same order, INTEGER or TEXT columns, NULL for empty cells, text in UTF-8)
// and an index on each table's indexed columns.
#pragma once

#include <string>

#include "cli/export_progress.h"
#include "cli/export_tables.h"

namespace voziroz::cli {

// Writes `tables` into a new database that replaces `out_path` only once it is complete and on
// disk; on failure `out_path` is as it was and no other file is left. Counts every row written in
// `progress`. Throws ExportError.
void ExportToSqlite(const ExportTables& tables, const std::string& out_path,
                    ExportProgress& progress);

}  // namespace voziroz::cli
