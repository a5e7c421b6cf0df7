// The table members of TParser: Execute, DataLink, GetTable and the lines table.
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/parser_object.h"
#include "automation/table_values.h"
#include "engine/ansi_case.h"
#include "engine/table_builder.h"

namespace voziroz {
namespace {

// A row number written as a script may write it: leading blanks, a sign, then decimal digits or
// hexadecimal digits after "$", "x" or "0x" (up to 32 bits, FFFFFFFF being -1). Nothing for any
// other text, and for -12345, which stands for "no number".
std::optional<std::int32_t> RowNumberOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  std::uint64_t base = 10;
  for (std::string_view prefix : {"$", "0x", "0X", "x", "X"}) {
    if (text.starts_with(prefix) && text.size() > prefix.size()) {
      text.remove_prefix(prefix.size());
      base = 16;
      break;
    }
  }
  const std::uint64_t limit =
      base == 16 ? 0xFFFFFFFFu : std::uint64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::uint64_t magnitude = 0;
  for (char c : text) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : base == 10           ? -1
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
    if (magnitude > limit) return std::nullopt;
  }
  if (text.empty() || (base == 10 && !negative && magnitude == limit)) return std::nullopt;
  const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
  const auto number = static_cast<std::int32_t>(bits);
  if (number == -12345) return std::nullopt;
  return number;
}

// One row per line (number, level, tag, value), key column 0; LastRow is the number of lines.
SharedTable MakeLinesTable(const TLines& lines) {
  auto table = std::make_shared<tSimpleTable>();
  table->Make({"LineNb", "Level", "Keyword", "Value"}, 0, lines.Count);
  for (std::int32_t n = 0; n < lines.Count; ++n) {
    const TLine& line = lines.Lines[static_cast<std::size_t>(n)];
    table->SetInt32(n, 0, n);
    table->SetInt32(n, 1, line.Level);
    table->SetText(n, 2, CodeToTag(line.Code));
    table->SetText(n, 3, lines.Value(line));
  }
  return table;
}

}  // namespace

SharedTable TParser::TableNamed(std::string_view upper_name) const {
  if (upper_name == "PERSON") return person_table_;
  if (upper_name == "EVENT") return event_table_;
  if (upper_name == "SOURCE") return source_table_;
  if (upper_name == "FAMILY") return family_table_;
  if (upper_name == "MULTIMEDIA") return multimedia_table_;
  return nullptr;
}

bool TParser::Execute() {
  if (!opened_) return false;
  const auto person = std::make_shared<tSimpleTable>();
  const auto event = std::make_shared<tSimpleTable>();
  const auto family = std::make_shared<tSimpleTable>();
  const auto source = std::make_shared<tSimpleTable>();
  const auto multimedia = std::make_shared<tSimpleTable>();
  person_table_ = person;
  event_table_ = event;
  family_table_ = family;
  source_table_ = source;
  multimedia_table_ = multimedia;
  try {
    return BuildTables(parsed_, *person, *event, *family, *source, *multimedia);
  } catch (...) {
    // The builder's failure is Execute's false; what it made so far stays readable.
    return false;
  }
}

std::int32_t TParser::DataLink(const Variant& table_name) {
  const std::string name = AnsiUpperCase(ToText(table_name));
  if (name == "GEDCOM") {
    lines_table_ = MakeLinesTable(parsed_);
    return TableHandleOf(lines_table_);
  }
  return TableHandleOf(TableNamed(name));
}

Variant TParser::GetTable(const Variant& table_name, const Variant& parameter) const {
  const SharedTable table = TableNamed(AnsiUpperCase(ToText(table_name)));
  const std::string param = parameter.IsParamNotFound() ? "" : AnsiLowerCase(ToText(parameter));
  if (!table) return Variant::NullArray();
  if (param.empty() || param == "header" || param == "fieldnames")
    return TextArray(table->ColNames);
  if (param == "rows") return RowsValue(*table);
  if (const std::optional<std::int32_t> row = RowNumberOf(param)) return RowValue(*table, *row);
  return Variant::NullArray();
}

}  // namespace voziroz
