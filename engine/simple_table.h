// tSimpleTable: the engine's in-memory relational table. Named columns, rows of compact cells,
// one integer key column by which the rows are sorted and searched.
//
// Cells are 8 bytes: a kind and either a number or a reference to a text in the table's own
// pool, so a table owns all its text and can outlive the lines it was built from. A table's
// pool holds at most 4 GiB (TextPool); SetText beyond that throws std::length_error and changes
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_pool.h"
#include "engine/zeroed_array.h"

namespace voziroz {

enum class CellKind : std::uint8_t { Empty, Text, Int32, Int8, UInt8 };

// mingw lays bit-fields out the Microsoft way (a new unit where the declared type changes),
// which would make a Cell 12 bytes; Cell keeps the GCC layout on every platform.
#if defined(__MINGW32__)
#define VOZIROZ_GCC_BITFIELDS __attribute__((gcc_struct))
#else
#define VOZIROZ_GCC_BITFIELDS
#endif

// All-zero bytes are an empty cell. Read a text cell through tSimpleTable::TextOf.
struct VOZIROZ_GCC_BITFIELDS Cell {
  CellKind Kind : 8 = CellKind::Empty;
  std::uint32_t ShortLength : 24 = 0;  // text: its length, or kLongText when the pool holds it
  std::int32_t Number = 0;             // integers: the value; text: its reference in the pool

  static Cell Int32(std::int32_t value) { return {CellKind::Int32, 0, value}; }
  static Cell Int8(std::int8_t value) { return {CellKind::Int8, 0, value}; }
  static Cell UInt8(std::uint8_t value) { return {CellKind::UInt8, 0, value}; }
};
static_assert(sizeof(Cell) == 8);

class tSimpleTable {
 public:
  std::vector<std::string> ColNames;
  std::int32_t KeyCol = 0;
  std::int32_t ColCount = 0;
  // While filling: the number of rows allocated. Once finished: the index of the last row.
  std::int32_t LastRow = 0;

  // Sets the layout and reserves `estimate` rows (LastRow 0 first, then AddRows).
  void Make(std::vector<std::string> col_names, std::int32_t key_col, std::int32_t estimate);
  // LastRow += n; new rows hold empty cells.
  void AddRows(std::int32_t n);
  // Cuts the table to last_row + 1 rows and sets LastRow; does not sort.
  void Finish(std::int32_t last_row);
  // Quicksort of rows 0 to LastRow by the key column (middle pivot, not stable).
  void SortByKey();

  std::int32_t RowsAllocated() const {
    return static_cast<std::int32_t>(row_order_.empty() ? cells_.size() / Width()
                                                        : row_order_.size());
  }

  const Cell& At(std::int32_t row, std::int32_t col) const { return cells_[Index(row, col)]; }
  std::string_view TextOf(const Cell& cell) const {
    if (cell.ShortLength == 0) return {};
    const char* text = pool_.Data(static_cast<std::uint32_t>(cell.Number));
    return cell.ShortLength == kLongText ? LongText(text)
                                         : std::string_view(text, cell.ShortLength);
  }
  // The cell as an integer for comparisons and keys: integers as they are, text and empty as 0.
  std::int32_t KeyOf(std::int32_t row) const;

  void SetEmpty(std::int32_t row, std::int32_t col) { cells_[Index(row, col)] = Cell{}; }
  void SetText(std::int32_t row, std::int32_t col, std::string_view text) {
    const Cell cell = StoreText(text);
    cells_[Index(row, col)] = cell;
  }
  // SetText for a short text that many cells repeat (a tag name, a placeholder, a date key):
  // the pool keeps one copy as long as it remembers the text (TextPool::AddShared).
  void SetSharedText(std::int32_t row, std::int32_t col, std::string_view text) {
    const Cell cell = StoreSharedText(text);
    cells_[Index(row, col)] = cell;
  }
  void SetInt32(std::int32_t row, std::int32_t col, std::int32_t value) {
    cells_[Index(row, col)] = Cell::Int32(value);
  }
  void SetInt8(std::int32_t row, std::int32_t col, std::int8_t value) {
    cells_[Index(row, col)] = Cell::Int8(value);
  }
  void SetUInt8(std::int32_t row, std::int32_t col, std::uint8_t value) {
    cells_[Index(row, col)] = Cell::UInt8(value);
  }

 private:
  friend class TableFill;  // writes the row it fills in place

  // A ShortLength that says the text's length (32 bits) comes first in the pool.
  static constexpr std::uint32_t kLongText = (1u << 24) - 1;
  static std::string_view LongText(const char* length_and_text);
  static std::int32_t KeyOfCell(const Cell& cell) {
    return cell.Kind == CellKind::Text || cell.Kind == CellKind::Empty ? 0 : cell.Number;
  }

  std::size_t Width() const { return ColCount > 0 ? static_cast<std::size_t>(ColCount) : 1; }
  std::size_t Index(std::int32_t row, std::int32_t col) const {
    const auto stored = static_cast<std::size_t>(
        row_order_.empty() ? row : row_order_[static_cast<std::size_t>(row)]);
    return stored * Width() + static_cast<std::size_t>(col);
  }
  void ResizeRows(std::size_t rows);
  Cell* StoredRow(std::int32_t row) { return &cells_[Index(row, 0)]; }
  Cell StoreText(std::string_view text) {
    if (text.empty()) return Cell{CellKind::Text, 0, 0};  // no pool space
    if (text.size() >= kLongText) return StoreLongText(text);
    return TextCell(text.size(), pool_.Add(text));
  }
  Cell StoreSharedText(std::string_view text) {
    if (text.size() > TextPool::kSharedBytes) return StoreText(text);
    return text.empty() ? StoreText(text) : TextCell(text.size(), pool_.AddShared(text));
  }
  static Cell TextCell(std::size_t size, std::uint32_t reference) {
    return {CellKind::Text, static_cast<std::uint32_t>(size), static_cast<std::int32_t>(reference)};
  }
  Cell StoreLongText(std::string_view text);

  ZeroedArray<Cell> cells_;  // row-major, ColCount cells a row, in the order the rows were made
  TextPool pool_;            // text of every text cell ever set
  // Once sorted: the stored row of each row. Sorting fills it instead of moving rows; empty
  // while the rows are stored in their order.
  std::vector<std::int32_t> row_order_;
};

}  // namespace voziroz
