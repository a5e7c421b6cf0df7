// A small object with the KeyList interface for tests of the server's edge: keys and items in
// insertion order, ByIndex with its two out-parameters, Item get and put, and a Clear that
// throws an int.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/dispatch.h"

namespace voziroz::testing {

class ProbeKeyList final : public AutomationObject {
 public:
  const MemberTable& Members() const override {
    using P = ProbeKeyList;
    static const MemberTable table =
        MemberTable(KeyListClass())
            .Add<P>("Add", MemberKind::Method,
                    [](P& p, MemberArgs a) {
                      p.Put(a[0].AsText(), a[1]);
                      return Variant();
                    })
            .Add<P>("ByIndex", MemberKind::Method,
                    [](P& p, MemberArgs a) {
                      const std::int32_t index = a[0].AsI4();
                      if (index < 0 || index >= static_cast<std::int32_t>(p.items_.size()))
                        ThrowRangeError();
                      a[1] = Variant::Text(p.items_[index].first);
                      a[2] = p.items_[index].second;
                      return Variant();
                    })
            .Add<P>("Item", MemberKind::PropertyGet,
                    [](P& p, MemberArgs a) {
                      for (const auto& [key, item] : p.items_)
                        if (key == a[0].AsText()) return item;
                      return Variant::Null();
                    })
            .Add<P>("Item", MemberKind::PropertyPut,
                    [](P& p, MemberArgs a) {
                      p.Put(a[0].AsText(), a[1]);
                      return Variant();
                    })
            .Add<P>("Count", MemberKind::PropertyGet,
                    [](P& p, MemberArgs) {
                      return Variant::I4(static_cast<std::int32_t>(p.items_.size()));
                    })
            // Throws what is no exception class, as a fault deep inside a member might.
            .Add<P>("Clear", MemberKind::Method, [](P&, MemberArgs) -> Variant { throw 42; });
    return table;
  }

 private:
  void Put(const std::string& key, const Variant& item) {
    for (auto& entry : items_)
      if (entry.first == key) {
        entry.second = item;
        return;
      }
    items_.emplace_back(key, item);
  }

  std::vector<std::pair<std::string, Variant>> items_;
};

}  // namespace voziroz::testing
