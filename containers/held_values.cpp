#include "containers/held_values.h"

#include <vector>

namespace voziroz {
namespace {

// Values waiting to be released by the outermost ReleaseValue of this thread; null when no
// release is in progress.
thread_local std::vector<Variant>* pending = nullptr;

// Only objects and arrays (which may hold objects) can reach another container's values.
bool MayHoldContainer(const Variant& value) {
  return value.Kind() == VariantKind::Object || value.Kind() == VariantKind::Array;
}

}  // namespace

void ReleaseValue(Variant&& value) {
  Variant held = std::move(value);
  if (!MayHoldContainer(held)) return;
  if (pending) {
    try {
      pending->push_back(std::move(held));
    } catch (...) {
      // No memory to defer it: it is released here, one level deeper.
    }
    return;
  }
  std::vector<Variant> queue;
  pending = &queue;
  // Each release may run a container's teardown, which appends that container's values to
  // `queue` instead of releasing them inside this one.
  held = Variant();
  while (!queue.empty()) {
    // Taken out before it is released, since its release may append to `queue`.
    Variant next = std::move(queue.back());
    queue.pop_back();
  }
  pending = nullptr;
}

}  // namespace voziroz
