// Tables as automation values: a cell, a row and a whole table of a tSimpleTable, each cell
// keeping its kind (Empty, Text, I4, I1, UI1). Rows are the table's stored rows
// (RowsAllocated), whatever its LastRow says.
#pragma once

#include <cstdint>

#include "automation/variant.h"
#include "engine/simple_table.h"

namespace voziroz {

// Requires a stored row and a column below ColCount.
Variant CellValue(const tSimpleTable& table, std::int32_t row, std::int32_t column);

// A one-dimensional array of the row's cells; a row outside the stored rows throws the
// "Range check error".
Variant RowValue(const tSimpleTable& table, std::int32_t row);

// A two-dimensional array (row, column) of every stored row.
Variant RowsValue(const tSimpleTable& table);

}  // namespace voziroz
