#include "engine/simple_table.h"

#include <utility>

namespace voziroz {

void tSimpleTable::Make(std::vector<std::string> col_names, std::int32_t key_col,
                        std::int32_t estimate) {
  ColNames = std::move(col_names);
  ColCount = static_cast<std::int32_t>(ColNames.size());
  KeyCol = key_col;
  LastRow = 0;
  cells_.clear();
  pool_.Clear();
  AddRows(estimate);
}

void tSimpleTable::AddRows(std::int32_t n) {
  LastRow += n;
  cells_.resize(static_cast<std::size_t>(LastRow) * Width());
}

void tSimpleTable::Finish(std::int32_t last_row) {
  cells_.resize(static_cast<std::size_t>(last_row + 1) * Width());
  LastRow = last_row;
}

std::int32_t tSimpleTable::KeyOf(std::int32_t row) const {
  const Cell& cell = At(row, KeyCol);
  return cell.Kind == CellKind::Text || cell.Kind == CellKind::Empty ? 0 : cell.Number;
}

void tSimpleTable::SetText(std::int32_t row, std::int32_t col, std::string_view text) {
  Cell cell{CellKind::Text, static_cast<std::int32_t>(text.size()), pool_.size()};
  pool_.Append(text);
  cells_[Index(row, col)] = cell;
}

void tSimpleTable::SwapRows(std::int32_t a, std::int32_t b) {
  for (std::size_t c = 0; c < Width(); ++c)
    std::swap(cells_[Index(a, 0) + c], cells_[Index(b, 0) + c]);
}

// The exact steps of the classic middle-pivot quicksort: rows with equal keys end up in the
// order these steps leave them, and readers (the ancestor search) depend on that order. The
// left parts go on an explicit stack instead of the call stack; the parts are disjoint, so the
// order in which they are sorted does not change the result.
void tSimpleTable::SortByKey() {
  if (LastRow <= 0) return;
  std::vector<std::pair<std::int32_t, std::int32_t>> pending{{0, LastRow}};
  while (!pending.empty()) {
    auto [l, r] = pending.back();
    pending.pop_back();
    std::int32_t i = l;
    do {
      i = l;
      std::int32_t j = r;
      const std::int32_t pivot = KeyOf(static_cast<std::int32_t>((std::int64_t{l} + r) / 2));
      do {
        while (KeyOf(i) < pivot) ++i;
        while (pivot < KeyOf(j)) --j;
        if (i <= j) {
          if (KeyOf(i) != KeyOf(j)) SwapRows(i, j);
          ++i;
          --j;
        }
      } while (i <= j);
      if (l < j) pending.emplace_back(l, j);
      l = i;
    } while (i < r);
  }
}

}  // namespace voziroz
