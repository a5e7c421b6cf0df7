// TKeyList, the KeyList object (ProgID "Voziroz.KeyList"): a dictionary for scripts whose
// entries are always in ascending key order (key_order.h), addressable by key and by position.
//
// Keys are unique texts; items are any automation values. The list owns a copy of each key and
// item (copies as held_values.h says) until the entry is deleted, replaced or cleared, or the
// object ends. Missing keys, positions out of range and duplicate keys are not errors. A lookup
// costs one comparison with the last key plus a binary search; an insertion adds one move of the
// references after the new key's place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/dispatch.h"
#include "automation/variant.h"
#include "containers/key_slots.h"

namespace voziroz {

class TKeyList final : public AutomationObject {
 public:
  const MemberTable& Members() const override;

  // Adds the pair unless `key` is present already; then nothing changes.
  void Add(std::string key, Variant item);
  // The entry at 0-based `index` in key order; both out-values an empty text when there is none.
  void ByIndex(std::int32_t index, Variant& key, Variant& item) const;
  // A copy of the key's item; an empty text when the key is missing.
  Variant Item(std::string_view key) const;
  // Replaces the key's item (releasing the old one), or adds the pair when the key is missing.
  void PutItem(std::string key, Variant item);
  std::int32_t Count() const { return slots_.Count(); }
  std::int32_t Capacity() const { return slots_.Capacity(); }
  // Resizes the slot array. A capacity below Count() empties the list first; one outside 0 to
  // KeySlots::kMaxCapacity empties the list and throws "List capacity out of bounds (n)".
  void SetCapacity(std::int32_t capacity);
  // Both release every entry; the capacity stays.
  void Init() { slots_.Clear(); }
  void Clear() { slots_.Clear(); }
  // Releases the key's entry; nothing happens when the key is missing.
  void Delete(std::string_view key);
  bool Exists(std::string_view key) const { return Locate(key).Found; }
  // New arrays of copies of the items and of the keys (as text), in key order; bounds 0 to -1
  // when the list is empty.
  Variant Items() const;
  Variant Keys() const;

 private:
  struct Place {
    std::int32_t Position;  // of the key, or where it would be inserted
    bool Found;
  };
  Place Locate(std::string_view key) const;
  void Insert(std::int32_t position, std::string key, Variant item);

  KeySlots slots_;
};

// A new, empty KeyList: the creation function of the class Voziroz.KeyList.
ObjectPtr<AutomationObject> CreateKeyList();

}  // namespace voziroz
