#include "containers/stack.h"

#include <utility>

namespace voziroz {

const MemberTable& TStack::Members() const {
  static const MemberTable table = ValueChainMembers<TStack>(StackClass(), "Height");
  return table;
}

void TStack::Put(Variant value) {
  first_ = std::make_unique<tStackItem>(tStackItem{std::move(value), std::move(first_)});
  ++count_;
}

ObjectPtr<AutomationObject> CreateStack() {
  return MakeObject<TStack>();
}

}  // namespace voziroz
