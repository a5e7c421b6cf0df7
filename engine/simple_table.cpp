#include "engine/simple_table.h"

#include <algorithm>
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

// The cells grow geometrically and ask for huge pages before they are first touched: page faults
// of 4 KiB dominated the cost of filling the large tables.
void tSimpleTable::AddRows(std::int32_t n) {
  LastRow += n;
  const std::size_t cells = static_cast<std::size_t>(LastRow) * Width();
  if (cells > cells_.capacity()) {
    cells_.reserve(std::max(cells, 2 * cells_.capacity()));
    AdviseHugePages(cells_.data(), cells_.capacity() * sizeof(Cell));
  }
  cells_.resize(cells);
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

namespace {

// The exact steps of the classic middle-pivot quicksort over `keys`, exchanging the same entries
// of `order` alongside: rows with equal keys end up in the order these steps leave them, and
// readers (the ancestor search) depend on that order. The left parts go on an explicit stack
// instead of the call stack; the parts are disjoint, so the order in which they are sorted does
// not change the result.
void QuicksortSteps(std::vector<std::int32_t>& keys, std::vector<std::int32_t>& order) {
  std::vector<std::pair<std::int32_t, std::int32_t>> pending{
      {0, static_cast<std::int32_t>(keys.size()) - 1}};
  while (!pending.empty()) {
    auto [l, r] = pending.back();
    pending.pop_back();
    std::int32_t i = l;
    do {
      i = l;
      std::int32_t j = r;
      const std::int32_t pivot = keys[static_cast<std::size_t>((std::int64_t{l} + r) / 2)];
      do {
        while (keys[i] < pivot) ++i;
        while (pivot < keys[j]) --j;
        if (i <= j) {
          if (keys[i] != keys[j]) {
            std::swap(keys[i], keys[j]);
            std::swap(order[i], order[j]);
          }
          ++i;
          --j;
        }
      } while (i <= j);
      if (l < j) pending.emplace_back(l, j);
      l = i;
    } while (i < r);
  }
}

}  // namespace

// Row r of the result is row order[r] of the table. Each cycle of the permutation is followed
// once with one spare row, so every row moves once and no second copy of the table is made.
void tSimpleTable::Reorder(std::vector<std::int32_t>& order) {
  const std::size_t width = Width();
  std::vector<Cell> spare(width);
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == static_cast<std::int32_t>(start)) continue;
    std::copy_n(&cells_[start * width], width, spare.begin());
    std::size_t to = start;
    while (static_cast<std::size_t>(order[to]) != start) {
      const std::size_t from = static_cast<std::size_t>(order[to]);
      std::copy_n(&cells_[from * width], width, &cells_[to * width]);
      order[to] = static_cast<std::int32_t>(to);
      to = from;
    }
    std::copy_n(spare.begin(), width, &cells_[to * width]);
    order[to] = static_cast<std::int32_t>(to);
  }
}

// The sort runs on a copy of the keys and a row order, four bytes each per row, and moves the
// rows only at the end: comparing and exchanging whole rows costs many times more.
void tSimpleTable::SortByKey() {
  if (LastRow <= 0) return;
  const std::size_t rows = static_cast<std::size_t>(LastRow) + 1;
  std::vector<std::int32_t> keys(rows), order(rows);
  for (std::size_t r = 0; r < rows; ++r) {
    keys[r] = KeyOf(static_cast<std::int32_t>(r));
    order[r] = static_cast<std::int32_t>(r);
  }
  QuicksortSteps(keys, order);
  Reorder(order);
}

}  // namespace voziroz
