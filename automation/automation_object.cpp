#include "automation/automation_object.h"

#include "automation/dispatch.h"

namespace voziroz {
namespace {

std::atomic<std::int32_t> live_objects{0};

}  // namespace

AutomationObject::AutomationObject() {
  live_objects.fetch_add(1, std::memory_order_relaxed);
}

AutomationObject::~AutomationObject() {
  live_objects.fetch_sub(1, std::memory_order_relaxed);
}

std::uint32_t AutomationObject::AddRef() {
  return references_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t AutomationObject::Release() {
  const std::uint32_t remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (remaining == 0) delete this;
  return remaining;
}

const ClassInfo& AutomationObject::Class() const {
  return Members().Class();
}

std::int32_t AutomationObject::LiveObjectCount() {
  return live_objects.load(std::memory_order_relaxed);
}

}  // namespace voziroz
