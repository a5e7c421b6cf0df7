// What an export of a GEDCOM file must hold, read from a Parser as a script reads it:
// GetTable(name, "rows") for the five tables, the table of DataLink("GEDCOM") for the lines, and
// Metadata for the metadata. A table whose only row is empty (no row was made) is expected empty.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "automation/table_handles.h"
#include "automation/table_values.h"
#include "engine/windows1252.h"

namespace voziroz::testing {

struct ExpectedTable {
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
};

inline std::vector<std::vector<Variant>> RowsOf(const VariantArray& grid) {
  std::vector<std::vector<Variant>> rows;
  for (std::int32_t r = 0; r < grid.Length(); ++r) {
    const auto row = grid.Elements().subspan(static_cast<std::size_t>(r) * grid.Columns(),
                                             static_cast<std::size_t>(grid.Columns()));
    rows.emplace_back(row.begin(), row.end());
  }
  const bool placeholder =
      rows.size() == 1 && std::all_of(rows[0].begin(), rows[0].end(), [](const Variant& v) {
        return v.Kind() == VariantKind::Empty;
      });
  if (placeholder) rows.clear();
  return rows;
}

inline ExpectedTable LinesTableOf(TParser& parser) {
  const SharedTable table =
      ResolveTableHandle(ToInt32(CallByName(parser, "DataLink", {Variant::Text("GEDCOM")})));
  ExpectedTable expected{"GEDCOM", table->ColNames, {}};
  for (std::int32_t r = 0; r < parser.Parsed().Count; ++r) {
    auto& row = expected.rows.emplace_back();
    for (std::int32_t c = 0; c < table->ColCount; ++c) row.push_back(CellValue(*table, r, c));
  }
  return expected;
}

// The seven tables in the order of the export; none when the file does not open and build.
inline std::vector<ExpectedTable> ExpectedTablesOf(const std::filesystem::path& file) {
  const ObjectPtr<TParser> parser = MakeObject<TParser>();
  CallByName(*parser, "Open", {Variant::Text(file.string())});
  if (!ToBool(CallByName(*parser, "IsOpen")) || !ToBool(CallByName(*parser, "Execute"))) return {};
  std::vector<ExpectedTable> tables;
  for (const char* name : {"PERSON", "FAMILY", "EVENT", "SOURCE", "MULTIMEDIA"}) {
    const Variant columns =
        CallByName(*parser, "GetTable", {Variant::Text(name), Variant::Text("fieldnames")});
    ExpectedTable& table = tables.emplace_back(ExpectedTable{name, {}, {}});
    for (const Variant& column : columns.AsArray().Elements())
      table.columns.push_back(column.AsText());
    table.rows = RowsOf(
        CallByName(*parser, "GetTable", {Variant::Text(name), Variant::Text("rows")}).AsArray());
  }
  tables.push_back(LinesTableOf(*parser));
  tables.push_back(ExpectedTable{
      "metadata", {"Section", "Item", "Value"}, RowsOf(CallByName(*parser, "Metadata").AsArray())});
  return tables;
}

// Calls `check(file, expected)` for every third corpus file (sorted by name) from the `first`
// that opens and builds (the SQLite and CSV tests take different thirds). Returns how many were
// checked, or -1 when the corpus is absent.
template <class Check>
int CheckCorpusThird(std::size_t first, Check check) {
  const std::filesystem::path corpus = std::filesystem::path(VOZIROZ_SHARED_DIR) / "corpus";
  if (!std::filesystem::is_directory(corpus)) return -1;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(corpus))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  int checked = 0;
  for (std::size_t i = first; i < files.size(); i += 3) {
    SCOPED_TRACE(files[i].string());
    const std::vector<ExpectedTable> expected = ExpectedTablesOf(files[i]);
    if (expected.empty()) continue;
    check(files[i], expected);
    ++checked;
  }
  return checked;
}

}  // namespace voziroz::testing
