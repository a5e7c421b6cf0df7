#include "cli/gedcom_export.h"

#include "automation/parser_object.h"
#include "cli/csv_export.h"
#include "cli/export_tables.h"
#include "cli/sqlite_export.h"

namespace voziroz::cli {

void ExportGedcom(const std::string& gedcom_file, const std::string& out, ExportFormat format,
                  ExportProgress& progress) {
  const ObjectPtr<TParser> parser = MakeObject<TParser>();
  parser->Open(Variant::Text(gedcom_file));
  if (!parser->IsOpen())
    throw ExportError("cannot open '" + gedcom_file +
                      "' (missing, unreadable, or no GEDCOM line in it)");
  if (!parser->Execute()) throw ExportError("out of memory building the tables");
  const ExportTables tables = ExportTablesOf(*parser);
  progress.Begin(parser->Parsed().Count, TotalRows(tables));
  if (format == ExportFormat::Csv)
    ExportToCsv(tables, out, progress);
  else
    ExportToSqlite(tables, out, progress);
  progress.End();
}

}  // namespace voziroz::cli
