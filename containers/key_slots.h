// KeySlots: the growable array behind a KeyList, references to its entries in key order, with
// the count and the capacity a script reads.
//
// The capacity is the number of reference slots allocated. It grows only when an entry is
// inserted into a full array, by Capacity div 4 above 64, by 16 from 9 to 64 and by 4 up to 8
// (0, 4, 8, 12, 28, 44, 60, 76, 95, ...), never shrinks by itself, and stays within 0 to
// kMaxCapacity. The array owns its entries; an entry lives at one address from insertion to
// removal, and inserting or erasing moves only the references after it, as one block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "automation/variant.h"

namespace voziroz {

// One key/item pair of a KeyList.
struct TKeyItem {
  std::string Key;  // in the code page; may be empty
  Variant Item;
};

class KeySlots {
 public:
  static constexpr std::int32_t kMaxCapacity = 134217727;

  KeySlots() = default;
  KeySlots(const KeySlots&) = delete;
  KeySlots& operator=(const KeySlots&) = delete;
  ~KeySlots() { Clear(); }

  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  std::int32_t Capacity() const { return capacity_; }
  // Requires 0 <= position < Count().
  TKeyItem& operator[](std::int32_t position) { return *entries_[Index(position)]; }
  const TKeyItem& operator[](std::int32_t position) const { return *entries_[Index(position)]; }

  // Inserts `entry` before `position` (0 <= position <= Count()), growing a full array first.
  // Throws "List capacity out of bounds (n)" when growth would pass kMaxCapacity, and
  // std::bad_alloc when memory runs out; either way nothing changes.
  void Insert(std::int32_t position, std::unique_ptr<TKeyItem> entry);
  // Releases the entry at `position` (0 <= position < Count()); later entries move down one.
  void Erase(std::int32_t position);
  // Releases every entry, front first. The capacity stays.
  void Clear();
  // Sets the capacity; false (and no change) when `capacity` is below Count() or outside 0 to
  // kMaxCapacity. Throws std::bad_alloc when memory runs out, changing nothing.
  bool SetCapacity(std::int32_t capacity);

 private:
  static std::size_t Index(std::int32_t position) { return static_cast<std::size_t>(position); }
  // The capacity after one growth step of a full array.
  std::int64_t GrownCapacity() const;

  // Owning references (plain pointers, so a move of the slots is one block copy), allocated for
  // capacity_ of them.
  std::vector<TKeyItem*> entries_;
  std::int32_t capacity_ = 0;
};

// The message of a capacity outside 0 to kMaxCapacity: "List capacity out of bounds (-1)".
std::string CapacityOutOfBounds(std::int64_t capacity);

}  // namespace voziroz
