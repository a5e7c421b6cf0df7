// TableFill: a tSimpleTable being filled row by row by the table builder. It keeps the current
// row (the one made last), grows the table by its layout's step when the reserved rows run out,
// and finishes it. Writes go to the current row; before the first row is made they change
// nothing, so a stray detail line can never address a row that does not exist.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/simple_table.h"
#include "engine/table_layouts.h"

namespace voziroz {

class TableFill {
 public:
  // Lays the table out and reserves `reserve` rows (at least one). The table must outlive this.
  TableFill(tSimpleTable& table, const TableLayout& layout, std::int32_t reserve);

  // Makes the next row, with empty cells, the current one.
  void NewRow() {
    if (++cursor_ == table_.LastRow) table_.AddRows(growth_step_);
    row_ = table_.StoredRow(cursor_);
  }
  // Index of the current row; -1 before the first.
  std::int32_t Cursor() const { return cursor_; }

  void Text(std::int32_t col, std::string_view value) {
    if (row_) row_[col] = table_.StoreText(value);
  }
  // Text that many rows repeat (tSimpleTable::SetSharedText).
  void SharedText(std::int32_t col, std::string_view value) {
    if (row_) row_[col] = table_.StoreSharedText(value);
  }
  // A 32-bit identifier.
  void Id(std::int32_t col, std::int32_t value) {
    if (row_) row_[col] = Cell::Int32(value);
  }
  // The 8-bit placeholder -1.
  void NoRef(std::int32_t col) {
    if (row_) row_[col] = Cell::Int8(-1);
  }
  // An 8-bit relation code.
  void Code(std::int32_t col, std::uint8_t value) {
    if (row_) row_[col] = Cell::UInt8(value);
  }
  // The text of a cell of the current row; empty when there is no row or the cell is no text.
  std::string_view TextAt(std::int32_t col) const;

  // Cuts the table to the rows made (one row of empty cells when none was) and sorts it.
  void Finish();

 private:
  tSimpleTable& table_;
  std::int32_t cursor_ = -1;
  Cell* row_ = nullptr;  // the cells of the current row, in the table
  std::int32_t growth_step_;
};

}  // namespace voziroz
