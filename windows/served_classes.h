// The classes that this library can create: for each coclass whose object exists, its identity
// (automation/interfaces.h) and the function that makes a new object. A coclass of the type
// library that is not listed cannot be created ("class not available").
//
// The same shape as the platform-neutral list of the Linux server; the Windows edge uses this
// one until that list is shared by both.
#pragma once

#include <span>

#include "automation/automation_object.h"
#include "automation/interfaces.h"

namespace voziroz {

struct ServedClass {
  const ClassInfo* Info = nullptr;
  // A new object with all its fields zero or empty; throws (std::bad_alloc) when it cannot.
  ObjectPtr<AutomationObject> (*Create)() = nullptr;
};

template <class T>
ObjectPtr<AutomationObject> NewObjectOf() {
  return MakeObject<T>();
}

// The listed classes, in the type library's order.
std::span<const ServedClass> ServedClasses();

}  // namespace voziroz
