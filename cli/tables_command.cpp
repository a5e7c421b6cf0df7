// `voziroz tables FILE [NAME]`: builds the five tables of a GEDCOM file and prints them, or the
// one named (in any case). Each table is a title line (its name), the column names and one line
// a row, cells separated by tabs; text in UTF-8 and escaped like the values of `voziroz lines`,
// numbers in decimal, an empty cell as nothing. A blank line separates the tables.
#include <array>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "engine/simple_table.h"
#include "engine/table_builder.h"
#include "engine/table_layouts.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

// The five tables in listing order (that of kTableLayouts).
struct Tables {
  tSimpleTable person, family, event, source, multimedia;
  std::array<const tSimpleTable*, 5> Listed() const {
    return {&person, &family, &event, &source, &multimedia};
  }
};

void AppendCell(const tSimpleTable& table, const Cell& cell, std::string& out) {
  switch (cell.Kind) {
    case CellKind::Empty:
      return;
    case CellKind::Text:
      return AppendEscaped(AnsiToUtf8(table.TextOf(cell)), out);
    case CellKind::Int32:
    case CellKind::Int8:
    case CellKind::UInt8:
      out += std::to_string(cell.Number);
      return;
  }
}

void AppendTable(std::string_view name, const tSimpleTable& table, std::string& out) {
  out += name;
  out += '\n';
  for (std::size_t c = 0; c < table.ColNames.size(); ++c) {
    if (c > 0) out += '\t';
    out += table.ColNames[c];
  }
  out += '\n';
  for (std::int32_t r = 0; r <= table.LastRow; ++r) {
    for (std::int32_t c = 0; c < table.ColCount; ++c) {
      if (c > 0) out += '\t';
      AppendCell(table, table.At(r, c), out);
    }
    out += '\n';
    FlushWhenFull(out);
  }
}

}  // namespace

// `options.table` is a table's name, upper-cased, or empty for all five.
int RunTables(const Options& options) {
  const InputFile input(options.file);
  const std::optional<TLines> lines = ReadLinesOrReport(input);
  if (!lines) return 1;
  Tables tables;
  if (!BuildTables(*lines, tables.person, tables.event, tables.family, tables.source,
                   tables.multimedia))
    throw std::bad_alloc();  // the builder fails only when memory runs out
  std::string out;
  const auto listed = tables.Listed();
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const std::string_view name = kTableLayouts[i]->Name;
    if (!options.table.empty() && options.table != name) continue;
    if (options.table.empty() && i > 0) out += '\n';
    AppendTable(name, *listed[i], out);
  }
  return FlushAllOrReport("tables", out);
}

}  // namespace voziroz::cli
