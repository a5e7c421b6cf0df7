// TQueue, the Queue object (ProgID "Voziroz.Queue"): a first-in-first-out list of automation
// values for scripts. Ownership and copies of the values: value_chain.h.
#pragma once

#include <memory>

#include "containers/value_chain.h"

namespace voziroz {

// One value in the queue; `Next` is the next newer node, null in the newest.
struct TQueueItem {
  Variant Value;
  std::unique_ptr<TQueueItem> Next;
};

// Get takes the oldest value; Count is the member `Length`.
class TQueue final : public ValueChain<TQueueItem> {
 public:
  const MemberTable& Members() const override;
  // Appends `value` at the newest end. Leaves the queue as it was when memory runs out.
  void Put(Variant value);

 private:
  TQueueItem* tail_ = nullptr;  // the newest node; meaningful only while the queue is not empty
};

// A new, empty Queue: the creation function of the class Voziroz.Queue.
ObjectPtr<AutomationObject> CreateQueue();

}  // namespace voziroz
