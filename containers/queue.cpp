#include "containers/queue.h"

#include <utility>

namespace voziroz {

const MemberTable& TQueue::Members() const {
  static const MemberTable table = ValueChainMembers<TQueue>(QueueClass(), "Length");
  return table;
}

void TQueue::Put(Variant value) {
  auto node = std::make_unique<TQueueItem>(TQueueItem{std::move(value), nullptr});
  TQueueItem* newest = node.get();
  if (first_)
    tail_->Next = std::move(node);
  else
    first_ = std::move(node);
  tail_ = newest;
  ++count_;
}

ObjectPtr<AutomationObject> CreateQueue() {
  return MakeObject<TQueue>();
}

}  // namespace voziroz
