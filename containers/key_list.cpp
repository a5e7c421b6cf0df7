#include "containers/key_list.h"

#include <memory>
#include <utility>
#include <vector>

#include "containers/held_values.h"
#include "containers/key_order.h"

namespace voziroz {
namespace {

// A new one-dimensional array of one value per entry, in key order.
template <class ValueOf>
Variant ArrayOfEntries(const KeySlots& slots, ValueOf value_of) {
  std::vector<Variant> values;
  values.reserve(static_cast<std::size_t>(slots.Count()));
  for (std::int32_t i = 0; i < slots.Count(); ++i) values.push_back(value_of(slots[i]));
  return Variant::Array(VariantArray(std::move(values)));
}

}  // namespace

const MemberTable& TKeyList::Members() const {
  using K = MemberKind;
  using L = TKeyList;
  static const MemberTable table =
      MemberTable(KeyListClass())
          .Add<L>("Add", K::Method,
                  [](L& list, MemberArgs a) {
                    list.Add(a[0].AsText(), std::move(a[1]));
                    return Variant();
                  })
          .Add<L>("ByIndex", K::Method,
                  [](L& list, MemberArgs a) {
                    list.ByIndex(a[0].AsI4(), a[1], a[2]);
                    return Variant();
                  })
          .Add<L>("Item", K::PropertyGet,
                  [](L& list, MemberArgs a) { return list.Item(a[0].AsText()); })
          .Add<L>("Item", K::PropertyPut,
                  [](L& list, MemberArgs a) {
                    list.PutItem(a[0].AsText(), std::move(a[1]));
                    return Variant();
                  })
          .Add<L>("Count", K::PropertyGet,
                  [](L& list, MemberArgs) { return Variant::I4(list.Count()); })
          .Add<L>("Capacity", K::PropertyGet,
                  [](L& list, MemberArgs) { return Variant::I4(list.Capacity()); })
          .Add<L>("Capacity", K::PropertyPut,
                  [](L& list, MemberArgs a) {
                    list.SetCapacity(a[0].AsI4());
                    return Variant();
                  })
          .Add<L>("Init", K::Method,
                  [](L& list, MemberArgs) {
                    list.Init();
                    return Variant();
                  })
          .Add<L>("Delete", K::Method,
                  [](L& list, MemberArgs a) {
                    list.Delete(a[0].AsText());
                    return Variant();
                  })
          .Add<L>("Clear", K::Method,
                  [](L& list, MemberArgs) {
                    list.Clear();
                    return Variant();
                  })
          .Add<L>("Exists", K::Method,
                  [](L& list, MemberArgs a) { return Variant::Bool(list.Exists(a[0].AsText())); })
          .Add<L>("Items", K::Method, [](L& list, MemberArgs) { return list.Items(); })
          .Add<L>("Keys", K::Method, [](L& list, MemberArgs) { return list.Keys(); });
  return table;
}

// The last key is compared first, so keys added in ascending order cost one comparison each.
TKeyList::Place TKeyList::Locate(std::string_view key) const {
  const std::int32_t count = slots_.Count();
  if (count == 0) return {0, false};
  const int against_last = CompareKeys(key, slots_[count - 1].Key);
  if (against_last == 0) return {count - 1, true};
  if (against_last > 0) return {count, false};
  std::int32_t low = 0;
  std::int32_t high = count - 2;
  while (low <= high) {
    const std::int32_t middle = low + (high - low) / 2;
    const int order = CompareKeys(key, slots_[middle].Key);
    if (order == 0) return {middle, true};
    if (order < 0)
      high = middle - 1;
    else
      low = middle + 1;
  }
  return {low, false};
}

void TKeyList::Insert(std::int32_t position, std::string key, Variant item) {
  slots_.Insert(position, std::make_unique<TKeyItem>(TKeyItem{std::move(key), std::move(item)}));
}

void TKeyList::Add(std::string key, Variant item) {
  const Place place = Locate(key);
  if (!place.Found) Insert(place.Position, std::move(key), std::move(item));
}

void TKeyList::ByIndex(std::int32_t index, Variant& key, Variant& item) const {
  if (index < 0 || index >= slots_.Count()) {
    key = Variant::Text("");
    item = Variant::Text("");
    return;
  }
  const TKeyItem& entry = slots_[index];
  key = Variant::Text(entry.Key);
  item = entry.Item;
}

Variant TKeyList::Item(std::string_view key) const {
  const Place place = Locate(key);
  return place.Found ? slots_[place.Position].Item : Variant::Text("");
}

void TKeyList::PutItem(std::string key, Variant item) {
  const Place place = Locate(key);
  if (!place.Found) return Insert(place.Position, std::move(key), std::move(item));
  ReleaseValue(std::exchange(slots_[place.Position].Item, std::move(item)));
}

void TKeyList::SetCapacity(std::int32_t capacity) {
  if (slots_.SetCapacity(capacity)) return;
  slots_.Clear();
  if (!slots_.SetCapacity(capacity)) throw AutomationError(CapacityOutOfBounds(capacity));
}

void TKeyList::Delete(std::string_view key) {
  const Place place = Locate(key);
  if (place.Found) slots_.Erase(place.Position);
}

Variant TKeyList::Items() const {
  return ArrayOfEntries(slots_, [](const TKeyItem& entry) { return entry.Item; });
}

Variant TKeyList::Keys() const {
  return ArrayOfEntries(slots_, [](const TKeyItem& entry) { return Variant::Text(entry.Key); });
}

ObjectPtr<AutomationObject> CreateKeyList() {
  return MakeObject<TKeyList>();
}

}  // namespace voziroz
