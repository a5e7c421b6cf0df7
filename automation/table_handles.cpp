#include "automation/table_handles.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>

namespace voziroz {
namespace {

class HandleRegistry {
 public:
  std::int32_t HandleOf(const SharedTable& table) {
    std::lock_guard lock(mutex_);
    if (const auto known = handle_by_table_.find(table.get()); known != handle_by_table_.end()) {
      const auto entry = table_by_handle_.find(known->second);
      // The entry may belong to an earlier table that lived at the same address.
      if (entry != table_by_handle_.end() && !entry->second.expired()) return known->second;
    }
    if (table_by_handle_.size() >= purge_at_) Purge();
    const std::int32_t handle = NextFreeHandle();
    table_by_handle_[handle] = table;
    handle_by_table_[table.get()] = handle;
    return handle;
  }

  SharedTable Resolve(std::int32_t handle) {
    std::lock_guard lock(mutex_);
    const auto entry = table_by_handle_.find(handle);
    return entry == table_by_handle_.end() ? nullptr : entry->second.lock();
  }

 private:
  // Drops the entries of tables that no longer exist, so the registry stays about as large as the
  // number of live tables that were ever handed out.
  void Purge() {
    std::erase_if(table_by_handle_, [](const auto& entry) { return entry.second.expired(); });
    std::erase_if(handle_by_table_,
                  [this](const auto& entry) { return !table_by_handle_.contains(entry.second); });
    purge_at_ = std::max<std::size_t>(kMinPurgeSize, 2 * table_by_handle_.size());
  }

  std::int32_t NextFreeHandle() {
    do {
      next_ = next_ == std::numeric_limits<std::int32_t>::max() ? 1 : next_ + 1;
    } while (table_by_handle_.contains(next_));
    return next_;
  }

  static constexpr std::size_t kMinPurgeSize = 64;

  std::mutex mutex_;
  std::unordered_map<std::int32_t, std::weak_ptr<const tSimpleTable>> table_by_handle_;
  std::unordered_map<const tSimpleTable*, std::int32_t> handle_by_table_;
  std::size_t purge_at_ = kMinPurgeSize;
  std::int32_t next_ = 0;
};

// Never destroyed, so objects released during program exit can still use it.
HandleRegistry& Registry() {
  static HandleRegistry* registry = new HandleRegistry;
  return *registry;
}

}  // namespace

std::int32_t TableHandleOf(const SharedTable& table) {
  return table ? Registry().HandleOf(table) : 0;
}

SharedTable ResolveTableHandle(std::int32_t handle) {
  return handle > 0 ? Registry().Resolve(handle) : nullptr;
}

}  // namespace voziroz
