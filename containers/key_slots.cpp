#include "containers/key_slots.h"

#include <memory>
#include <utility>

#include "automation/error.h"
#include "containers/held_values.h"

namespace voziroz {

std::int64_t KeySlots::GrownCapacity() const {
  const std::int64_t step = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
  return std::int64_t{capacity_} + step;
}

void KeySlots::Insert(std::int32_t position, std::unique_ptr<TKeyItem> entry) {
  if (Count() == capacity_) {
    const std::int64_t grown = GrownCapacity();
    if (grown > kMaxCapacity) throw AutomationError(CapacityOutOfBounds(grown));
    entries_.reserve(static_cast<std::size_t>(grown));
    capacity_ = static_cast<std::int32_t>(grown);
  }
  // Within the reserved capacity: no reallocation, so this cannot fail.
  entries_.insert(entries_.begin() + position, entry.release());
}

void KeySlots::Erase(std::int32_t position) {
  const std::unique_ptr<TKeyItem> entry(entries_[Index(position)]);
  entries_.erase(entries_.begin() + position);
  ReleaseValue(std::move(entry->Item));
}

void KeySlots::Clear() {
  for (TKeyItem* entry : entries_) {
    const std::unique_ptr<TKeyItem> owned(entry);
    ReleaseValue(std::move(owned->Item));
  }
  entries_.clear();  // the slots stay allocated
}

bool KeySlots::SetCapacity(std::int32_t capacity) {
  if (capacity < 0 || capacity < Count() || capacity > kMaxCapacity) return false;
  if (capacity != capacity_) {
    std::vector<TKeyItem*> resized;
    resized.reserve(static_cast<std::size_t>(capacity));
    resized.assign(entries_.begin(), entries_.end());
    entries_.swap(resized);
    capacity_ = capacity;
  }
  return true;
}

std::string CapacityOutOfBounds(std::int64_t capacity) {
  return "List capacity out of bounds (" + std::to_string(capacity) + ")";
}

}  // namespace voziroz
