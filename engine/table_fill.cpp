#include "engine/table_fill.h"

#include <algorithm>
#include <string>
#include <vector>

namespace voziroz {

TableFill::TableFill(tSimpleTable& table, const TableLayout& layout, std::int32_t reserve)
    : table_(table), growth_step_(layout.GrowthStep) {
  table_.Make(std::vector<std::string>(layout.ColNames.begin(), layout.ColNames.end()),
              layout.KeyCol, std::max(reserve, std::int32_t{1}));
}

std::string_view TableFill::TextAt(std::int32_t col) const {
  if (!row_) return {};
  const Cell& cell = row_[col];
  return cell.Kind == CellKind::Text ? table_.TextOf(cell) : std::string_view{};
}

void TableFill::Finish() {
  row_ = nullptr;
  table_.Finish(std::max(cursor_, std::int32_t{0}));
  table_.SortByKey();
}

}  // namespace voziroz
