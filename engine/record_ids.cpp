#include "engine/record_ids.h"

#include <limits>

#include "engine/table_layouts.h"

namespace voziroz {
namespace {

bool IsCrossReference(std::string_view value) {
  return value.size() >= 3 && value.front() == '@' && value.back() == '@';
}

}  // namespace

std::int32_t IdOf(std::string_view text) {
  std::int64_t number = 0;
  bool any_digit = false;
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    any_digit = true;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<std::int32_t>::max()) return -1;
  }
  return any_digit ? static_cast<std::int32_t>(number) : -1;
}

std::int32_t RecordIds::IdOf(std::string_view value) {
  const std::int32_t id = voziroz::IdOf(value);
  return id == -1 && IsCrossReference(value) ? OwnIdOf(value) : id;
}

std::int32_t RecordIds::FamilyIdOf(std::string_view value) {
  const std::int64_t id = std::int64_t{IdOf(value)} + family::kIdOffset;
  return id > std::numeric_limits<std::int32_t>::max() ? -1 : static_cast<std::int32_t>(id);
}

std::int32_t RecordIds::OwnIdOf(std::string_view xref) {
  if (next_own_id_ > kLastOwnId) {
    const auto found = own_ids_.find(xref);
    return found == own_ids_.end() ? -1 : found->second;
  }
  const auto [entry, added] = own_ids_.try_emplace(xref, next_own_id_);
  if (added) ++next_own_id_;
  return entry->second;
}

}  // namespace voziroz
