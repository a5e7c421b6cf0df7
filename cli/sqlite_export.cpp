#include "cli/sqlite_export.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <vector>

#include "cli/atomic_file.h"

namespace voziroz::cli {
namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Rows a batch statement inserts; with at most 9 columns its parameters stay below 999, the
// smallest limit SQLite builds use.
constexpr int kBatchRows = 100;

// The database is new and is thrown away unless complete, so it needs neither a rollback journal
// nor SQLite's own syncs (AtomicFile syncs the finished file once). A small page cache: the rows
// are appended in order, and the index sorts spill to temporary files.
constexpr const char* kSetup =
    "PRAGMA page_size = 16384; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
    "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -4096; BEGIN";

// The message names SQLite's reason and, for a failed read or write, the system's.
[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  if (!db) throw ExportError(what + ": out of memory");
  std::string message = what + ": " + sqlite3_errmsg(db);
  if (const int error = sqlite3_system_errno(db); error != 0)
    message += std::string(" (") + std::strerror(error) + ")";
  throw ExportError(message);
}

void Run(sqlite3* db, const std::string& sql, const std::string& what) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, what);
}

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) !=
      SQLITE_OK)
    Fail(db, "cannot write the database");
  return Statement(statement);
}

// An identifier in double quotes, so that any name is taken as it is.
std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string_view DeclaredType(ColumnType type) {
  switch (type) {
    case ColumnType::Integer:
      return " INTEGER";
    case ColumnType::Text:
      return " TEXT";
    case ColumnType::Any:
      return "";
    case ColumnType::IntegerKey:
      return " INTEGER PRIMARY KEY";
  }
  return "";
}

std::string CreateTableSql(const ExportTable& table) {
  std::string sql = "CREATE TABLE " + Quoted(table.Name()) + " (";
  for (const ExportColumn& column : table.Columns()) {
    if (&column != &table.Columns().front()) sql += ", ";
    sql += Quoted(column.Name);
    sql += DeclaredType(column.Type);
  }
  return sql + ")";
}

// INSERT of `rows` rows at once.
std::string InsertSql(const ExportTable& table, int rows) {
  std::string values = "(?";
  for (std::size_t c = 1; c < table.Columns().size(); ++c) values += ", ?";
  values += ")";
  std::string sql = "INSERT INTO " + Quoted(table.Name()) + " VALUES " + values;
  for (int r = 1; r < rows; ++r) sql += ", " + values;
  return sql;
}

std::string CreateIndexSql(const ExportTable& table, std::int32_t column) {
  const std::string& column_name = table.Columns()[static_cast<std::size_t>(column)].Name;
  return "CREATE INDEX " + Quoted(table.Name() + "_" + column_name) + " ON " +
         Quoted(table.Name()) + " (" + Quoted(column_name) + ")";
}

// Binds parameter `index` (from 1). Text is bound in place (SQLITE_STATIC): it lives in the
// table or in `buffer` until the row has been stepped.
int Bind(sqlite3_stmt* insert, int index, const ExportCell& cell, std::string& buffer) {
  switch (cell.kind) {
    case ExportCell::Kind::Null:
      return sqlite3_bind_null(insert, index);
    case ExportCell::Kind::Integer:
      return sqlite3_bind_int(insert, index, cell.integer);
    case ExportCell::Kind::Text: {
      const std::string_view utf8 = Utf8Of(cell.ansi, buffer);
      // A null pointer would bind NULL; empty text stays empty text.
      const char* bytes = utf8.empty() ? "" : utf8.data();
      return sqlite3_bind_text64(insert, index, bytes, utf8.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
  }
  return SQLITE_MISUSE;
}

// Rows go in kBatchRows at a time through one statement, which saves most of SQLite's work per
// statement; the rows left over go one by one.
void WriteRows(sqlite3* db, const ExportTable& table, ExportProgress& progress) {
  const std::string what = "cannot write the table " + table.Name();
  Run(db, CreateTableSql(table), what);
  const Statement batch = Prepare(db, InsertSql(table, kBatchRows));
  const Statement single = Prepare(db, InsertSql(table, 1));
  const std::size_t columns = table.Columns().size();
  std::vector<ExportCell> cells(columns * kBatchRows);
  std::vector<std::string> buffers(cells.size());
  const std::int64_t row_count = table.RowCount();
  for (std::int64_t row = 0; row < row_count;) {
    const int rows = row_count - row >= kBatchRows ? kBatchRows : 1;
    sqlite3_stmt* insert = rows == kBatchRows ? batch.get() : single.get();
    for (int r = 0; r < rows; ++r)
      table.ReadRow(row + r,
                    std::span(cells).subspan(static_cast<std::size_t>(r) * columns, columns));
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows) * columns; ++i)
      if (Bind(insert, static_cast<int>(i + 1), cells[i], buffers[i]) != SQLITE_OK) Fail(db, what);
    if (sqlite3_step(insert) != SQLITE_DONE) Fail(db, what);
    sqlite3_reset(insert);
    row += rows;
    progress.AddRows(rows);
  }
}

}  // namespace

void ExportToSqlite(const ExportTables& tables, const std::string& out_path,
                    ExportProgress& progress) {
  AtomicFile file(out_path);
  sqlite3* opened = nullptr;
  const int status = sqlite3_open_v2(file.TempPath().c_str(), &opened,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  Database db(opened);
  if (status != SQLITE_OK) Fail(db.get(), "cannot open the database '" + file.TempPath() + "'");
  Run(db.get(), kSetup, "cannot write the database");
  for (const auto& table : tables) WriteRows(db.get(), *table, progress);
  progress.Phase("indexing");
  // Indexes are built after the rows, by one sort each rather than row by row.
  for (const auto& table : tables)
    for (std::int32_t column : table->IndexedColumns())
      Run(db.get(), CreateIndexSql(*table, column), "cannot index the table " + table->Name());
  Run(db.get(), "COMMIT", "cannot write the database");
  // Every statement is finalized by now, so closing is never refused; the pages were written by
  // the commit.
  sqlite3_close(db.release());
  progress.Phase("syncing");
  file.Commit();
}

}  // namespace voziroz::cli
