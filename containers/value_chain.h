// What Queue and Stack share: a chain of nodes, each holding one value (its `Value`) and owning
// the next node (its `Next`), from which Get takes the first; and the five members a script calls.
//
// The chain owns a copy of every value put into it (copies as held_values.h says) until Get hands
// it back or Clear, Init or the object's end releases it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "automation/dispatch.h"
#include "containers/held_values.h"

namespace voziroz {

template <class Node>
class ValueChain : public AutomationObject {
 public:
  ~ValueChain() override { ReleaseChain(); }

  // Both release every value and leave the chain empty.
  void Init() { Clear(); }
  void Clear() {
    ReleaseChain();
    count_ = 0;
  }
  // Takes the first value out; Null (not Empty) when the chain is empty.
  Variant Get() {
    if (!first_) return Variant::Null();
    std::unique_ptr<Node> node = std::exchange(first_, std::move(first_->Next));
    --count_;
    return std::move(node->Value);
  }
  std::int32_t Count() const { return count_; }

 protected:
  // The node Get takes next; null when the chain is empty (whatever count_ says).
  std::unique_ptr<Node> first_;
  std::int32_t count_ = 0;

 private:
  // Node by node, however long the chain: no recursion.
  void ReleaseChain() {
    while (first_) {
      std::unique_ptr<Node> node = std::exchange(first_, std::move(first_->Next));
      ReleaseValue(std::move(node->Value));
    }
  }
};

// The members Init, Put, Get, Clear and the count property `count_name` (Length, Height) of
// class `cls`, for a ValueChain T with Put(Variant).
template <class T>
MemberTable ValueChainMembers(const ClassInfo& cls, std::string_view count_name) {
  using K = MemberKind;
  MemberTable table(cls);
  table.Add<T>("Init", K::Method, [](T& chain, MemberArgs) {
    chain.Init();
    return Variant();
  });
  table.Add<T>("Put", K::Method, [](T& chain, MemberArgs a) {
    chain.Put(std::move(a[0]));
    return Variant();
  });
  table.Add<T>("Get", K::Method, [](T& chain, MemberArgs) { return chain.Get(); });
  table.Add<T>("Clear", K::Method, [](T& chain, MemberArgs) {
    chain.Clear();
    return Variant();
  });
  table.Add<T>(count_name, K::PropertyGet,
               [](T& chain, MemberArgs) { return Variant::I4(chain.Count()); });
  return table;
}

}  // namespace voziroz
