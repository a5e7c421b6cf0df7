#include "engine/simple_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
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
  row_order_.clear();
  AddRows(estimate);
}

void tSimpleTable::AddRows(std::int32_t n) {
  LastRow += n;
  ResizeRows(static_cast<std::size_t>(LastRow));
}

void tSimpleTable::Finish(std::int32_t last_row) {
  ResizeRows(static_cast<std::size_t>(last_row) + 1);
  LastRow = last_row;
}

// Rows added to a sorted table are stored after all stored rows; rows cut from it keep their
// storage (they are unreachable and stay until the table is made again).
void tSimpleTable::ResizeRows(std::size_t rows) {
  if (row_order_.empty()) return cells_.Resize(rows * Width());
  std::size_t stored = cells_.size() / Width();
  if (rows > row_order_.size()) {
    const std::size_t added = rows - row_order_.size();
    if (stored + added > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw std::length_error("too many rows");
    cells_.Resize((stored + added) * Width());
    while (row_order_.size() < rows) row_order_.push_back(static_cast<std::int32_t>(stored++));
  }
  row_order_.resize(rows);
}

std::int32_t tSimpleTable::KeyOf(std::int32_t row) const {
  return KeyOfCell(At(row, KeyCol));
}

Cell tSimpleTable::StoreLongText(std::string_view text) {
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
//
// A part whose keys are already in order is left alone: the steps would exchange nothing in it
// (where I <= J, key I >= pivot >= key J and key I <= key J, so the two are equal). Tables
// mostly come in key order, and so do most parts of the rest.
void QuicksortSteps(std::vector<std::int32_t>& keys, std::vector<std::int32_t>& order) {
  const auto in_order = [&keys](std::int32_t l, std::int32_t r) {
    return std::is_sorted(keys.begin() + l, keys.begin() + r + 1);
  };
  std::vector<std::pair<std::int32_t, std::int32_t>> pending{
      {0, static_cast<std::int32_t>(keys.size()) - 1}};
  while (!pending.empty()) {
    auto [l, r] = pending.back();
    pending.pop_back();
    while (l < r && !in_order(l, r)) {
      std::int32_t i = l;
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
    }
  }
}

}  // namespace

// The sort runs on a copy of the keys and the stored row of each row, and moves no cells: it
// leaves the stored row of each sorted row in row_order_ (nothing when no row moved). Moving
// whole rows into place cost as much as the rest of the build.
void tSimpleTable::SortByKey() {
  if (LastRow <= 0) return;
  const std::size_t rows =
      std::min(static_cast<std::size_t>(LastRow) + 1, static_cast<std::size_t>(RowsAllocated()));
  std::vector<std::int32_t> keys(rows), order(static_cast<std::size_t>(RowsAllocated()));
  for (std::size_t r = 0; r < order.size(); ++r)
    order[r] = row_order_.empty() ? static_cast<std::int32_t>(r) : row_order_[r];
  for (std::size_t r = 0; r < rows; ++r)
    keys[r] = KeyOfCell(cells_[Index(static_cast<std::int32_t>(r), KeyCol)]);
  QuicksortSteps(keys, order);
  bool moved = false;
  for (std::size_t r = 0; r < order.size() && !moved; ++r)
    moved = order[r] != static_cast<std::int32_t>(r);
  if (moved)
    row_order_ = std::move(order);
  else
    row_order_.clear();
}

}  // namespace voziroz
