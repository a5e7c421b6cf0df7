// Building the five tables in tests, and showing cells as strings that also say their kind:
// text as it is, "i32:N", "i8:N", "u8:N", and "(empty)" for a cell with no value.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/gedcom_lines.h"
#include "engine/gedcom_reader.h"
#include "engine/simple_table.h"
#include "engine/table_builder.h"
#include "tests/engine/test_lines.h"

namespace voziroz::testkit {

struct BuiltTables {
  tSimpleTable person, event, family, source, multimedia;
  bool ok = false;
};

inline void BuildInto(const TLines& lines, BuiltTables& tables) {
  tables.ok = BuildTables(lines, tables.person, tables.event, tables.family, tables.source,
                          tables.multimedia);
}

inline BuiltTables Build(const TLines& lines) {
  BuiltTables tables;
  BuildInto(lines, tables);
  return tables;
}

// Builds from LinesOf(text) and expects success.
inline BuiltTables BuildText(std::string_view text) {
  BuiltTables tables = Build(LinesOf(text));
  EXPECT_TRUE(tables.ok) << text;
  return tables;
}

// Builds from what the pre-parse makes of `text` (a trailer line is added) and expects success.
inline BuiltTables BuildParsed(std::string_view text) {
  const std::optional<TLines> lines = PreParseLines(TextBuffer(std::string(text) + "\n0 TRLR\n"));
  EXPECT_TRUE(lines) << text;
  BuiltTables tables = Build(lines ? *lines : TLines{});
  EXPECT_TRUE(tables.ok) << text;
  return tables;
}

inline std::string CellText(const tSimpleTable& table, int row, int col) {
  const Cell& cell = table.At(row, col);
  switch (cell.Kind) {
    case CellKind::Empty:
      return "(empty)";
    case CellKind::Text:
      return std::string(table.TextOf(cell));
    case CellKind::Int32:
      return "i32:" + std::to_string(cell.Number);
    case CellKind::Int8:
      return "i8:" + std::to_string(cell.Number);
    case CellKind::UInt8:
      return "u8:" + std::to_string(cell.Number);
  }
  return "?";
}

using Row = std::vector<std::string>;

inline Row RowOf(const tSimpleTable& table, int row) {
  Row cells;
  for (int c = 0; c < table.ColCount; ++c) cells.push_back(CellText(table, row, c));
  return cells;
}

// Rows 0 to LastRow of a finished table.
inline std::vector<Row> RowsOf(const tSimpleTable& table) {
  std::vector<Row> rows;
  for (int r = 0; r <= table.LastRow; ++r) rows.push_back(RowOf(table, r));
  return rows;
}

// The single row of empty cells that a table in which no row was made holds.
inline std::vector<Row> NoRows(const tSimpleTable& table) {
  return {Row(static_cast<std::size_t>(table.ColCount), "(empty)")};
}

}  // namespace voziroz::testkit
