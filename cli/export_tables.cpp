#include "cli/export_tables.h"

#include <cstring>

#include "engine/table_layouts.h"
#include "engine/windows1252.h"

namespace voziroz::cli {
namespace {

// What the export adds to each layout: the columns indexed beside the key column.
struct TableTypes {
  const TableLayout* layout;
  std::span<const std::int32_t> join_columns;
};

constexpr std::int32_t kFamilyJoins[] = {family::kIndiID};
constexpr std::int32_t kEventJoins[] = {event::kFamRefID};

constexpr TableTypes kTableTypes[] = {
    {&kPersonLayout, {}}, {&kFamilyLayout, kFamilyJoins}, {&kEventLayout, kEventJoins},
    {&kSourceLayout, {}}, {&kMultimediaLayout, {}},
};

std::vector<ExportColumn> ColumnsOf(const TableTypes& types) {
  std::vector<ExportColumn> columns;
  const TableLayout& layout = *types.layout;
  for (std::size_t c = 0; c < layout.ColNames.size(); ++c) {
    const bool integer = layout.ColKinds[c] == ColumnKind::Integer;
    columns.push_back(
        {std::string(layout.ColNames[c]), integer ? ColumnType::Integer : ColumnType::Text});
  }
  return columns;
}

std::vector<std::int32_t> IndexedColumnsOf(const TableTypes& types) {
  std::vector<std::int32_t> indexed = {types.layout->KeyCol};
  indexed.insert(indexed.end(), types.join_columns.begin(), types.join_columns.end());
  return indexed;
}

// One of the five tables of Execute, read in place.
class BuiltTable final : public ExportTable {
 public:
  BuiltTable(const TableTypes& types, SharedTable table)
      : ExportTable(std::string(types.layout->Name), ColumnsOf(types), IndexedColumnsOf(types)),
        table_(std::move(table)),
        rows_(HoldsRows(*table_) ? table_->RowsAllocated() : 0) {}

  std::int64_t RowCount() const override { return rows_; }
  void ReadRow(std::int64_t row, std::span<ExportCell> cells) const override {
    for (std::int32_t c = 0; c < table_->ColCount; ++c)
      cells[static_cast<std::size_t>(c)] = CellOf(table_->At(static_cast<std::int32_t>(row), c));
  }

 private:
  // False for the single row of empty cells that stands for "no rows made".
  static bool HoldsRows(const tSimpleTable& table) {
    if (table.RowsAllocated() != 1) return table.RowsAllocated() > 0;
    for (std::int32_t c = 0; c < table.ColCount; ++c)
      if (table.At(0, c).Kind != CellKind::Empty) return true;
    return false;
  }

  ExportCell CellOf(const Cell& cell) const {
    switch (cell.Kind) {
      case CellKind::Empty:
        return {};
      case CellKind::Text:
        return {ExportCell::Kind::Text, 0, table_->TextOf(cell)};
      case CellKind::Int32:
      case CellKind::Int8:
      case CellKind::UInt8:
        return {ExportCell::Kind::Integer, cell.Number, {}};
    }
    return {};
  }

  SharedTable table_;
  std::int64_t rows_;
};

// The lines table: (line number, level, tag, value) for every stored line.
class LinesTable final : public ExportTable {
 public:
  explicit LinesTable(const TLines& lines)
      : ExportTable("GEDCOM",
                    {{"LineNb", ColumnType::IntegerKey},
                     {"Level", ColumnType::Integer},
                     {"Keyword", ColumnType::Text},
                     {"Value", ColumnType::Text}},
                    {}),
        lines_(lines) {}

  std::int64_t RowCount() const override { return lines_.Count; }
  void ReadRow(std::int64_t row, std::span<ExportCell> cells) const override {
    const TLine& line = lines_.Lines[static_cast<std::size_t>(row)];
    cells[0] = {ExportCell::Kind::Integer, static_cast<std::int32_t>(row), {}};
    cells[1] = {ExportCell::Kind::Integer, line.Level, {}};
    cells[2] = {ExportCell::Kind::Text, 0, CodeToTag(line.Code)};
    cells[3] = {ExportCell::Kind::Text, 0, lines_.Value(line)};
  }

 private:
  const TLines& lines_;
};

// The metadata grid: group label, item label and value of each of its rows.
class MetadataTable final : public ExportTable {
 public:
  explicit MetadataTable(Variant grid)
      : ExportTable(
            "metadata",
            {{"Section", ColumnType::Text}, {"Item", ColumnType::Text}, {"Value", ColumnType::Any}},
            {}),
        grid_(std::move(grid)) {}

  std::int64_t RowCount() const override { return grid_.AsArray().Length(); }
  void ReadRow(std::int64_t row, std::span<ExportCell> cells) const override {
    for (std::int32_t c = 0; c < 3; ++c)
      cells[static_cast<std::size_t>(c)] =
          CellOf(grid_.AsArray().At(static_cast<std::int32_t>(row), c));
  }

 private:
  static ExportCell CellOf(const Variant& value) {
    switch (value.Kind()) {
      case VariantKind::Text:
        return {ExportCell::Kind::Text, 0, value.AsText()};
      case VariantKind::I1:
      case VariantKind::UI1:
      case VariantKind::I4:
        return {ExportCell::Kind::Integer, ToInt32(value), {}};
      default:
        return {};
    }
  }

  Variant grid_;
};

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080u) return false;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

}  // namespace

ExportTables ExportTablesOf(const TParser& parser) {
  ExportTables tables;
  for (const TableTypes& types : kTableTypes) {
    SharedTable table = parser.TableNamed(types.layout->Name);
    if (!table) throw ExportError("the tables have not been built");
    tables.push_back(std::make_unique<BuiltTable>(types, std::move(table)));
  }
  tables.push_back(std::make_unique<LinesTable>(parser.Parsed()));
  tables.push_back(std::make_unique<MetadataTable>(parser.Metadata()));
  return tables;
}

std::int64_t TotalRows(const ExportTables& tables) {
  std::int64_t rows = 0;
  for (const auto& table : tables) rows += table->RowCount();
  return rows;
}

std::string_view Utf8Of(std::string_view ansi, std::string& buffer) {
  if (IsAscii(ansi)) return ansi;
  buffer.clear();
  AppendAnsiAsUtf8(ansi, buffer);
  return buffer;
}

}  // namespace voziroz::cli
