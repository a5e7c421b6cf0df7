#include "automation/server_lifetime.h"

#include <optional>

#include "automation/automation_object.h"

namespace voziroz {
namespace {

std::atomic<std::uint32_t> library_references{0};
std::atomic<std::uint32_t> server_locks{0};

// Decrements `count` unless it is 0; the new count, or nothing when it was 0.
std::optional<std::uint32_t> DecrementAboveZero(std::atomic<std::uint32_t>& count) {
  std::uint32_t current = count.load();
  while (current > 0)
    if (count.compare_exchange_weak(current, current - 1)) return current - 1;
  return std::nullopt;
}

}  // namespace

std::uint32_t LibraryReference::AddRef() {
  library_references.fetch_add(1);
  return count_.fetch_add(1) + 1;
}

std::uint32_t LibraryReference::Release() {
  const std::optional<std::uint32_t> remaining = DecrementAboveZero(count_);
  if (!remaining) return 0;
  library_references.fetch_sub(1);
  return *remaining;
}

HResult LockServer(bool lock) {
  if (lock) {
    server_locks.fetch_add(1);
    return kOk;
  }
  return DecrementAboveZero(server_locks) ? kOk : kUnexpected;
}

bool CanUnloadNow() {
  return AutomationObject::LiveObjectCount() == 0 && server_locks.load() == 0 &&
         library_references.load() == 0;
}

}  // namespace voziroz
