// `voziroz tables FILE [NAME]`: builds the five tables of a GEDCOM file and prints them, or the
// one named (in any case). Each table is a title line (its name), the column names and one line
// a row, cells separated by tabs; text in UTF-8 and escaped like the values of `voziroz lines`,
// numbers in decimal, an empty cell as nothing. A blank line separates the tables.
#include <array>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/gedcom_input.h"
#include "engine/ansi_case.h"
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

// The index in kTableLayouts of the table named `name` (compared upper-cased), if any.
std::optional<std::size_t> TableIndexOf(std::string_view name) {
  const std::string upper = AnsiUpperCase(name);
  for (std::size_t i = 0; i < kTableLayouts.size(); ++i)
    if (kTableLayouts[i]->Name == upper) return i;
  return std::nullopt;
}

int BuildAndPrint(const char* file_name, std::optional<std::size_t> only) {
  const std::optional<TLines> lines = ReadLinesOrReport(file_name);
  if (!lines) return 1;
  Tables tables;
  if (!BuildTables(*lines, tables.person, tables.event, tables.family, tables.source,
                   tables.multimedia)) {
    std::fprintf(stderr, "voziroz: out of memory building the tables of '%s'\n", file_name);
    return 1;
  }
  std::string out;
  const auto listed = tables.Listed();
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (only && *only != i) continue;
    if (!only && i > 0) out += '\n';
    AppendTable(kTableLayouts[i]->Name, *listed[i], out);
  }
  return FlushAll(out) ? 0 : 1;
}

}  // namespace

int RunTables(std::span<char*> args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: voziroz tables FILE [NAME]\n");
    return 2;
  }
  std::optional<std::size_t> only;
  if (args.size() == 2 && !(only = TableIndexOf(args[1]))) {
    std::fprintf(stderr,
                 "voziroz: no table named '%s' (PERSON, FAMILY, EVENT, SOURCE or MULTIMEDIA)\n",
                 args[1]);
    return 2;
  }
  try {
    return BuildAndPrint(args[0], only);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "voziroz: %s\n", error.what());
    return 1;
  }
}

}  // namespace voziroz::cli
