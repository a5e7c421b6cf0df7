// voziroz tables FILE [NAME]: builds the five tables of a GEDCOM file and prints them (or the one
// named, in any case) as a title line, the column names and one row a line, tab-separated, text
// in UTF-8. Tabs, line breaks and backslashes inside a text are written as \t, \n, \r and \\ so
// that every row stays one line; an empty cell prints as nothing.
#include <array>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/commands.h"
#include "engine/ansi_case.h"
#include "engine/gedcom_reader.h"
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

void AppendEscaped(std::string_view text, std::string& out) {
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
}

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

void PrintTable(std::string_view name, const tSimpleTable& table) {
  std::string out(name);
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
    if (out.size() > (1u << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

// The index in kTableLayouts of the table named `name` (compared upper-cased), if any.
std::optional<std::size_t> TableIndexOf(std::string_view name) {
  const std::string upper = AnsiUpperCase(name);
  for (std::size_t i = 0; i < kTableLayouts.size(); ++i)
    if (kTableLayouts[i]->Name == upper) return i;
  return std::nullopt;
}

int BuildAndPrint(const char* file_name, std::optional<std::size_t> only) {
  LoadedText loaded = LoadFileText(file_name);
  if (!loaded.Readable) {
    std::fprintf(stderr, "voziroz tables: cannot read '%s'\n", file_name);
    return 1;
  }
  std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  if (!lines) {
    std::fprintf(stderr, "voziroz tables: '%s' holds no GEDCOM lines\n", file_name);
    return 1;
  }
  Tables tables;
  if (!BuildTables(*lines, tables.person, tables.event, tables.family, tables.source,
                   tables.multimedia)) {
    std::fprintf(stderr, "voziroz tables: out of memory building the tables of '%s'\n", file_name);
    return 1;
  }
  const auto listed = tables.Listed();
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (only && *only != i) continue;
    if (!only && i > 0) std::fputc('\n', stdout);
    PrintTable(kTableLayouts[i]->Name, *listed[i]);
  }
  return 0;
}

}  // namespace

int RunTables(std::span<char*> args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: voziroz tables FILE [NAME]\n");
    return 2;
  }
  std::optional<std::size_t> only;
  if (args.size() == 2) {
    only = TableIndexOf(args[1]);
    if (!only) {
      std::fprintf(stderr,
                   "voziroz tables: no table named '%s' (PERSON, FAMILY, EVENT, SOURCE or "
                   "MULTIMEDIA)\n",
                   args[1]);
      return 2;
    }
  }
  try {
    return BuildAndPrint(args[0], only);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "voziroz tables: %s\n", error.what());
    return 1;
  }
}

}  // namespace voziroz::cli
