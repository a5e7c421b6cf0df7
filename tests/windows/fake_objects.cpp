#include "fake_objects.h"

namespace voziroz::testing {
namespace {

using M = MemberKind;

// The position of `key`, or -1.
std::ptrdiff_t IndexOf(const FakeKeyList& list, const std::string& key) {
  for (std::size_t i = 0; i < list.Entries.size(); ++i)
    if (list.Entries[i].first == key) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

Variant* FindItem(FakeKeyList& list, const std::string& key) {
  const std::ptrdiff_t i = IndexOf(list, key);
  return i < 0 ? nullptr : &list.Entries[static_cast<std::size_t>(i)].second;
}

Variant Column(const FakeKeyList& list, bool keys) {
  std::vector<Variant> values;
  for (const auto& [key, item] : list.Entries) values.push_back(keys ? Variant::Text(key) : item);
  return Variant::Array(VariantArray(std::move(values)));
}

}  // namespace

const MemberTable& FakeKeyList::Members() const {
  using L = FakeKeyList;
  static const MemberTable table =
      MemberTable(KeyListClass())
          .Add<L>("Add", M::Method,
                  [](L& l, MemberArgs a) {
                    l.Entries.emplace_back(a[0].AsText(), a[1]);
                    return Variant();
                  })
          .Add<L>("ByIndex", M::Method,
                  [](L& l, MemberArgs a) {
                    const std::int32_t i = a[0].AsI4();
                    if (i < 0 || i >= static_cast<std::int32_t>(l.Entries.size()))
                      ThrowRangeError();
                    a[1] = Variant::Text(l.Entries[i].first);
                    a[2] = l.Entries[i].second;
                    return Variant();
                  })
          .Add<L>("Item", M::PropertyGet,
                  [](L& l, MemberArgs a) {
                    const Variant* item = FindItem(l, a[0].AsText());
                    return item ? *item : Variant();
                  })
          .Add<L>("Item", M::PropertyPut,
                  [](L& l, MemberArgs a) {
                    if (Variant* item = FindItem(l, a[0].AsText()))
                      *item = a[1];
                    else
                      l.Entries.emplace_back(a[0].AsText(), a[1]);
                    return Variant();
                  })
          .Add<L>("Count", M::PropertyGet,
                  [](L& l, MemberArgs) {
                    return Variant::I4(static_cast<std::int32_t>(l.Entries.size()));
                  })
          .Add<L>("Capacity", M::PropertyGet,
                  [](L& l, MemberArgs) { return Variant::I4(l.Capacity); })
          .Add<L>("Capacity", M::PropertyPut,
                  [](L& l, MemberArgs a) {
                    if (a[0].AsI4() < 0)
                      throw AutomationError("Capacity must not be negative",
                                            static_cast<HResult>(0x80070057u));
                    l.Capacity = a[0].AsI4();
                    return Variant();
                  })
          .Add<L>("Delete", M::Method,
                  [](L& l, MemberArgs a) {
                    const std::ptrdiff_t i = IndexOf(l, a[0].AsText());
                    if (i < 0) ThrowRangeError();
                    l.Entries.erase(l.Entries.begin() + i);
                    return Variant();
                  })
          .Add<L>("Exists", M::Method,
                  [](L& l, MemberArgs a) {
                    return Variant::Bool(FindItem(l, a[0].AsText()) != nullptr);
                  })
          .Add<L>("Items", M::Method, [](L& l, MemberArgs) { return Column(l, false); })
          .Add<L>("Keys", M::Method, [](L& l, MemberArgs) { return Column(l, true); });
  return table;
}

const MemberTable& FakeParser::Members() const {
  static const MemberTable table(ParserClass());
  return table;
}

const MemberTable& FakeTable::Members() const {
  using T = FakeTable;
  static const MemberTable table =
      MemberTable(TableClass()).Add<T>("Open", M::Method, [](T& t, MemberArgs a) {
        t.OpenedName = ToText(a[0]);
        t.OpenedParser = a[1].AsObject();
        return Variant();
      });
  return table;
}

}  // namespace voziroz::testing
