// What `voziroz export` writes, seen by its writers (SQLite, CSV) as plain tables: the five tables
// of a Parser's Execute, its lines table (GEDCOM) and its metadata grid, each with typed columns
// and rows of cells read in place.
//
// Error model: the writers throw ExportError with a message for the user; nothing else is
// reported. Cells hold the code page's text as the Parser stores it; Utf8Of converts it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "automation/parser_object.h"

namespace voziroz::cli {

class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Integer: identifiers and codes; Text; Any: integers and text mixed (the metadata values);
// IntegerKey: a unique integer that ascends with the rows (the line number).
enum class ColumnType : std::uint8_t { Integer, Text, Any, IntegerKey };

struct ExportColumn {
  std::string Name;
  ColumnType Type;
};

// One cell: Null for an empty cell, an integer, or text (a view that lives as long as the table).
struct ExportCell {
  enum class Kind : std::uint8_t { Null, Integer, Text };
  Kind kind = Kind::Null;
  std::int32_t integer = 0;
  std::string_view ansi;
};

class ExportTable {
 public:
  virtual ~ExportTable() = default;

  const std::string& Name() const { return name_; }
  const std::vector<ExportColumn>& Columns() const { return columns_; }
  // Columns worth an index: the key column and the columns other tables join on.
  const std::vector<std::int32_t>& IndexedColumns() const { return indexed_; }

  virtual std::int64_t RowCount() const = 0;
  // Fills `cells` (one per column) with row `row`, 0 <= row < RowCount().
  virtual void ReadRow(std::int64_t row, std::span<ExportCell> cells) const = 0;

 protected:
  ExportTable(std::string name, std::vector<ExportColumn> columns,
              std::vector<std::int32_t> indexed)
      : name_(std::move(name)), columns_(std::move(columns)), indexed_(std::move(indexed)) {}

 private:
  std::string name_;
  std::vector<ExportColumn> columns_;
  std::vector<std::int32_t> indexed_;
};

using ExportTables = std::vector<std::unique_ptr<ExportTable>>;

// PERSON, FAMILY, EVENT, SOURCE, MULTIMEDIA, GEDCOM and metadata of a parser that is open and
// whose Execute succeeded. A table in which the builder made no row (stored as one row of empty
// cells) has no rows here. The parser's lines must stay unchanged while the result is used; the
// tables are held by the result.
ExportTables ExportTablesOf(const TParser& parser);

// The rows of all tables together.
std::int64_t TotalRows(const ExportTables& tables);

// The UTF-8 form of `ansi`: `ansi` itself when it is plain ASCII, else converted into `buffer`
// (which the result then views).
std::string_view Utf8Of(std::string_view ansi, std::string& buffer);

}  // namespace voziroz::cli
