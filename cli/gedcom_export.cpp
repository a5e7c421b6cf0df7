#include "cli/gedcom_export.h"

#include <sys/stat.h>

#include <new>

#include "automation/parser_object.h"
#include "cli/csv_export.h"
#include "cli/export_tables.h"
#include "cli/gedcom_input.h"
#include "cli/sqlite_export.h"

namespace voziroz::cli {
namespace {

// True when both paths name one existing file (a database written over its own GEDCOM file would
// replace it).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

void ExportGedcom(const std::string& gedcom_file, const std::string& out, ExportFormat format,
                  ExportProgress& progress) {
  if (SameFile(gedcom_file, out))
    throw ExportError("'" + out + "' is the GEDCOM file itself; it is not replaced");
  const ObjectPtr<TParser> parser = MakeObject<TParser>();
  parser->Open(Variant::Text(gedcom_file));
  if (!parser->IsOpen()) {
    // Open tells no reason: reading again gives it (or runs out of memory again).
    std::string failure;
    if (ReadLines(gedcom_file, gedcom_file, failure)) failure = "cannot open '" + gedcom_file + "'";
    throw ExportError(failure);
  }
  if (!parser->Execute()) throw std::bad_alloc();  // it fails only when memory runs out
  const ExportTables tables = ExportTablesOf(*parser);
  progress.Begin(parser->Parsed().Count, TotalRows(tables));
  if (format == ExportFormat::Csv)
    ExportToCsv(tables, out, progress);
  else
    ExportToSqlite(tables, out, progress);
  progress.End();
}

}  // namespace voziroz::cli
