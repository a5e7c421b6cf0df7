#include "automation/table_object.h"

#include <optional>
#include <string>
#include <vector>

#include "automation/table_values.h"

namespace voziroz {
namespace {

DispId DataLinkId() {
  static const DispId id = [] {
    const std::string_view name[] = {"DataLink"};
    DispId found = kDispIdUnknown;
    GetIDsOfNames(kParserInterface, name, std::span(&found, 1));
    return found;
  }();
  return id;
}

// The sign of (cell - key) for the key cell of `row`, compared as automation values (Empty as 0,
// text by its number); nothing when the row does not exist or the cell is no number.
std::optional<int> CompareKey(const tSimpleTable& table, std::int32_t row, std::int32_t key) {
  if (row < 0 || row >= table.RowsAllocated() || table.KeyCol < 0 || table.KeyCol >= table.ColCount)
    return std::nullopt;
  std::int32_t cell = 0;
  if (TryToInt32(CellValue(table, row, table.KeyCol), cell) != Conversion::Ok) return std::nullopt;
  return cell < key ? -1 : cell > key ? 1 : 0;
}

}  // namespace

const MemberTable& TTable::Members() const {
  using K = MemberKind;
  static const MemberTable table =
      MemberTable(TableClass())
          .Add<TTable>("RowCount", K::PropertyGet,
                       [](TTable& t, MemberArgs) { return Variant::I4(t.RowCount()); })
          .Add<TTable>("ColCount", K::PropertyGet,
                       [](TTable& t, MemberArgs) { return Variant::I4(t.ColCount()); })
          .Add<TTable>("ColNames", K::PropertyGet,
                       [](TTable& t, MemberArgs) { return t.ColNames(); })
          .Add<TTable>("Row", K::PropertyGet,
                       [](TTable& t, MemberArgs a) { return t.Row(a[0].AsI4()); })
          .Add<TTable>("IsOpen", K::PropertyGet,
                       [](TTable& t, MemberArgs) { return Variant::Bool(t.IsOpen()); })
          .Add<TTable>("Open", K::Method,
                       [](TTable& t, MemberArgs a) {
                         t.Open(a[0], *a[1].AsObject());
                         return Variant();
                       })
          .Add<TTable>("FindRow", K::Method,
                       [](TTable& t, MemberArgs a) { return Variant::I4(t.FindRow(a[0].AsI4())); })
          .Add<TTable>("Close", K::Method,
                       [](TTable& t, MemberArgs) {
                         t.Close();
                         return Variant();
                       })
          .Add<TTable>("KeyColname", K::PropertyGet,
                       [](TTable& t, MemberArgs) { return t.KeyColname(); });
  return table;
}

std::int32_t TTable::RowCount() const {
  return table_ ? table_->LastRow : -1;
}

std::int32_t TTable::ColCount() const {
  return table_ ? table_->ColCount : -1;
}

Variant TTable::ColNames() const {
  return table_ ? TextArray(table_->ColNames) : Variant::NullArray();
}

Variant TTable::Row(std::int32_t index) const {
  return table_ ? RowValue(*table_, index) : Variant::NullArray();
}

void TTable::Open(const Variant& table_name, AutomationObject& parser) {
  Close();
  ToText(table_name);
  std::vector<Variant> args = {table_name};
  Variant handle;
  if (!Invoke(parser, DataLinkId(), kInvokePropertyGet, args, handle).Succeeded()) return;
  std::int32_t number = 0;
  if (TryToInt32(handle, number) == Conversion::Ok) table_ = ResolveTableHandle(number);
}

// The search and the step back follow the rows' order by key; any row that cannot be compared
// ends the search with -1, as a script would see a failed comparison.
std::int32_t TTable::FindRow(std::int32_t key_value) const {
  if (!table_) return -1;
  std::int32_t lo = 0;
  std::int32_t hi = table_->LastRow;
  while (lo <= hi) {
    const std::int32_t mid = static_cast<std::int32_t>((std::int64_t{lo} + hi) / 2);
    const std::optional<int> order = CompareKey(*table_, mid, key_value);
    if (!order) return -1;
    if (*order == 0) {
      std::int32_t row = mid;
      while (row > 0 && CompareKey(*table_, row - 1, key_value) == 0) --row;
      return row;
    }
    if (*order > 0) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  return -1;
}

Variant TTable::KeyColname() const {
  if (!table_) return Variant::Text("");
  if (table_->KeyCol < 0 || table_->KeyCol >= static_cast<std::int32_t>(table_->ColNames.size()))
    return Variant::Text("");
  return Variant::Text(table_->ColNames[static_cast<std::size_t>(table_->KeyCol)]);
}

}  // namespace voziroz
