#include "engine/ancestors.h"

#include <charconv>
#include <stdexcept>
#include <string>
#include <unordered_set>

#include "engine/table_layouts.h"

namespace voziroz {
namespace {

struct CompareFailed {};

// A cell read as an integer the way variants convert: numbers as they are, empty as 0, text when
// it is a decimal number. Throws `Failure` otherwise.
template <typename Failure>
std::int32_t CellAsInt(const tSimpleTable& table, const Cell& cell, Failure failure) {
  if (cell.Kind != CellKind::Text) return cell.Kind == CellKind::Empty ? 0 : cell.Number;
  std::string_view text = table.TextOf(cell);
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) throw failure();
  return value;
}

std::int32_t CompareKey(const tSimpleTable& table, std::int32_t row, std::int32_t column) {
  return CellAsInt(table, table.At(row, column), [] { return CompareFailed{}; });
}

std::int32_t IdCell(const tSimpleTable& table, std::int32_t row, std::int32_t column) {
  return CellAsInt(table, table.At(row, column), [] {
    return std::runtime_error("Could not convert variant of type (String) into type (Integer)");
  });
}

std::int32_t BinarySearch(const tSimpleTable& table, std::int32_t column, std::int32_t value,
                          std::int32_t lo, std::int32_t hi) {
  while (lo <= hi) {
    std::int32_t mid = lo + (hi - lo) / 2;
    std::int32_t key = CompareKey(table, mid, column);
    if (key == value) return mid;
    if (value < key) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  return -1;
}

std::int32_t FindFirstRowOrThrow(const tSimpleTable& table, std::int32_t column,
                                 std::int32_t value) {
  const std::int32_t last = table.LastRow;
  if (CompareKey(table, 0, column) == value) return 0;
  std::int32_t r;
  if (CompareKey(table, last, column) == value) {
    r = last;
  } else if (value > 0 && value - 1 <= last && CompareKey(table, value - 1, column) == value) {
    r = value - 1;  // where an ID numbered from 1 sits in a table with one row per ID
  } else {
    r = BinarySearch(table, column, value, 1, last - 1);
  }
  while (r > 0 && CompareKey(table, r - 1, column) == value) --r;
  return r;
}

std::int32_t FirstFamcFamily(const tSimpleTable& event, std::int32_t id) {
  for (std::int32_t r = FindFirstRow(&event, event::kMainRefID, id);
       r >= 0 && r <= event.LastRow && CompareKey(event, r, event::kMainRefID) == id; ++r) {
    const Cell& code = event.At(r, event::kEventcode);
    if (code.Kind == CellKind::Text && event.TextOf(code) == "FAMC") {
      return IdCell(event, r, event::kFamRefID);
    }
  }
  return -1;
}

}  // namespace

std::int32_t FindFirstRow(const tSimpleTable* table, std::int32_t column, std::int32_t value) {
  if (!table || column < 0 || column >= table->ColCount || table->LastRow < 0 ||
      table->RowsAllocated() <= table->LastRow) {
    return -2;
  }
  try {
    return FindFirstRowOrThrow(*table, column, value);
  } catch (const CompareFailed&) {
    return -2;
  }
}

std::pair<std::int32_t, std::int32_t> FindParents(const tSimpleTable* event,
                                                  const tSimpleTable* family, std::int32_t id) {
  std::int32_t father = -1, mother = -1;
  if (id == -1 || !event) return {father, mother};
  std::int32_t family_id = FirstFamcFamily(*event, id);
  if (family_id == -1) return {father, mother};
  for (std::int32_t r = FindFirstRow(family, family::kFamilyID, family_id);
       r >= 0 && r <= family->LastRow && CompareKey(*family, r, family::kFamilyID) == family_id;
       ++r) {
    std::int32_t relation = CompareKey(*family, r, family::kFamilyReleation);
    if (relation == family::kHusband) father = IdCell(*family, r, family::kIndiID);
    if (relation == family::kWife) mother = IdCell(*family, r, family::kIndiID);
    if (father != -1 && mother != -1) break;
  }
  return {father, mother};
}

TAncestors TAncestors::Build(const tSimpleTable* event, const tSimpleTable* family,
                             std::int32_t id) {
  TAncestors result;
  result.person_id_ = id;
  result.generations_.push_back({id});
  std::vector<std::int32_t> current{id};
  std::int32_t g = 0;
  while (true) {
    std::unordered_set<std::int32_t> next;
    for (std::int32_t person : current) {
      auto [it, fresh] = result.parents_.try_emplace(person, -1, -1);
      if (fresh) it->second = FindParents(event, family, person);
      if (it->second.first != -1) next.insert(it->second.first);
      if (it->second.second != -1) next.insert(it->second.second);
    }
    ++g;
    if (next.empty() || g == kMaxGenerations) break;
    current.assign(next.begin(), next.end());
  }
  result.generation_count_ = g;
  return result;
}

const std::vector<std::int32_t>* TAncestors::Slots(std::int32_t g) {
  if (g < 0 || g >= generation_count_) return nullptr;
  if (g >= 31 || (std::int64_t{1} << g) > kMaxSlotsPerRequest) return nullptr;
  while (static_cast<std::int32_t>(generations_.size()) <= g) {
    const std::vector<std::int32_t>& previous = generations_.back();
    std::vector<std::int32_t> slots(previous.size() * 2, -1);
    for (std::size_t k = 0; k < previous.size(); ++k) {
      if (previous[k] == -1) continue;
      auto [father, mother] = parents_.at(previous[k]);
      slots[2 * k] = father;
      slots[2 * k + 1] = mother;
    }
    generations_.push_back(std::move(slots));
  }
  return &generations_[g];
}

}  // namespace voziroz
