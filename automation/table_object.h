// TTable, the Table object (ProgID "Voziroz.Table"): reads one of a parser's tables row by row.
//
// Open asks a parser for a table through the parser's DataLink member (by DISPID, as any caller
// of the interface would) and from then on holds a shared reference to that table: the table
// stays readable, unchanged, while the Table is open, whatever the parser does meanwhile (a new
// Execute, Close, or its release). The object never changes the table and keeps no reference to
// the parser.
#pragma once

#include <cstdint>

#include "automation/dispatch.h"
#include "automation/table_handles.h"
#include "automation/variant.h"

namespace voziroz {

class TTable final : public AutomationObject {
 public:
  const MemberTable& Members() const override;

  // Closed: RowCount and ColCount -1, ColNames and Row a null array, FindRow -1, KeyColname "".
  // RowCount is the table's LastRow (the last row index for the tables of Execute, the number of
  // rows for the lines table).
  std::int32_t RowCount() const;
  std::int32_t ColCount() const;
  Variant ColNames() const;
  // A copy of the row's cells; an index outside the rows throws the "Range check error".
  Variant Row(std::int32_t index) const;
  bool IsOpen() const { return table_ != nullptr; }
  // Closes, then opens the table `parser.DataLink(table_name)` designates. Throws only when
  // `table_name` does not convert to text; any failure of DataLink leaves the object closed.
  void Open(const Variant& table_name, AutomationObject& parser);
  // The first row whose key cell equals `key_value` (binary search, the rows sorted by key); -1
  // when there is none or a cell cannot be compared with an integer.
  std::int32_t FindRow(std::int32_t key_value) const;
  void Close() { table_.reset(); }
  Variant KeyColname() const;

 private:
  SharedTable table_;
};

}  // namespace voziroz
