// TStack, the Stack object (ProgID "Voziroz.Stack"): a last-in-first-out list of automation
// values for scripts. Ownership and copies of the values: value_chain.h.
#pragma once

#include <memory>

#include "containers/value_chain.h"

namespace voziroz {

// One value on the stack; `Next` is the node below, null in the bottom node.
struct tStackItem {
  Variant Value;
  std::unique_ptr<tStackItem> Next;
};

// Get takes the topmost value; Count is the member `Height`.
class TStack final : public ValueChain<tStackItem> {
 public:
  const MemberTable& Members() const override;
  // Puts `value` on top. Leaves the stack as it was when memory runs out.
  void Put(Variant value);
};

// A new, empty Stack: the creation function of the class Voziroz.Stack.
ObjectPtr<AutomationObject> CreateStack();

}  // namespace voziroz
