#include "automation/class_registry.h"

namespace voziroz {
namespace {

constexpr CreatableClass kCreatable[] = {
    {nullptr, nullptr},
};

}  // namespace

std::span<const CreatableClass> CreatableClasses() {
  return std::span(kCreatable).first(0);
}

const CreatableClass* FindCreatableClass(const Guid& clsid) {
  for (const CreatableClass& c : CreatableClasses())
    if (c.Info->Clsid == clsid) return &c;
  return nullptr;
}

}  // namespace voziroz
