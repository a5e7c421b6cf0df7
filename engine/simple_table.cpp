#include "engine/simple_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace voziroz {

void tSimpleTable::Make(std::vector<std::string> col_names, std::int32_t key_col,
                        std::int32_t estimate) {
  ColNames = std::move(col_names);
  ColCount = static_cast<std::int32_t>(ColNames.size());
  KeyCol = key_col;
  LastRow = 0;
  cells_.Clear();
  pool_.Clear();
  AddRows(estimate);
}

void tSimpleTable::AddRows(std::int32_t n) {
  LastRow += n;
  cells_.Resize(static_cast<std::size_t>(LastRow) * Width());
}

void tSimpleTable::Finish(std::int32_t last_row) {
  cells_.Resize((static_cast<std::size_t>(last_row) + 1) * Width());
  LastRow = last_row;
}

std::int32_t tSimpleTable::KeyOf(std::int32_t row) const {
  const Cell& cell = At(row, KeyCol);
  return cell.Kind == CellKind::Text || cell.Kind == CellKind::Empty ? 0 : cell.Number;
}

void tSimpleTable::SetText(std::int32_t row, std::int32_t col, std::string_view text) {
  const std::size_t index = Index(row, col);
  cells_[index] = StoreText(text);
}

// Empty text takes no pool space.
Cell tSimpleTable::StoreText(std::string_view text) {
  if (text.empty()) return Cell{CellKind::Text, 0, 0};
  if (text.size() < kLongText) {
    const std::uint32_t reference = pool_.Add(text);
    return Cell{CellKind::Text, static_cast<std::uint32_t>(text.size()),
                static_cast<std::int32_t>(reference)};
  }
  // The pool refuses more than 4 GiB, so the length fits its 32 bits once Reserve returns.
  const std::uint32_t reference = pool_.Reserve(sizeof(std::uint32_t) + text.size());
  const auto length = static_cast<std::uint32_t>(text.size());
  char* place = pool_.Data(reference);
  std::memcpy(place, &length, sizeof length);
  std::memcpy(place + sizeof length, text.data(), text.size());
  return Cell{CellKind::Text, kLongText, static_cast<std::int32_t>(reference)};
}

std::string_view tSimpleTable::LongText(const char* length_and_text) {
  std::uint32_t length = 0;
  std::memcpy(&length, length_and_text, sizeof length);
  return {length_and_text + sizeof length, length};
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
