#include "automation/table_values.h"

#include <string>
#include <vector>

namespace voziroz {

Variant CellValue(const tSimpleTable& table, std::int32_t row, std::int32_t column) {
  const Cell& cell = table.At(row, column);
  switch (cell.Kind) {
    case CellKind::Empty:
      return Variant();
    case CellKind::Text:
      return Variant::Text(std::string(table.TextOf(cell)));
    case CellKind::Int32:
      return Variant::I4(cell.Number);
    case CellKind::Int8:
      return Variant::I1(static_cast<std::int8_t>(cell.Number));
    case CellKind::UInt8:
      return Variant::UI1(static_cast<std::uint8_t>(cell.Number));
  }
  return Variant();
}

Variant RowValue(const tSimpleTable& table, std::int32_t row) {
  if (row < 0 || row >= table.RowsAllocated()) ThrowRangeError();
  std::vector<Variant> cells;
  cells.reserve(static_cast<std::size_t>(table.ColCount));
  for (std::int32_t c = 0; c < table.ColCount; ++c) cells.push_back(CellValue(table, row, c));
  return Variant::Array(VariantArray(std::move(cells)));
}

Variant RowsValue(const tSimpleTable& table) {
  VariantArray rows(table.RowsAllocated(), table.ColCount);
  for (std::int32_t r = 0; r < table.RowsAllocated(); ++r)
    for (std::int32_t c = 0; c < table.ColCount; ++c) rows.At(r, c) = CellValue(table, r, c);
  return Variant::Array(std::move(rows));
}

}  // namespace voziroz
