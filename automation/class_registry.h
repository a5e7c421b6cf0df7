// The creatable classes of the server: for each coclass whose object exists, its identity (from
// interfaces.h) and the function that makes a new object. A coclass of the type library that is
// not listed here cannot be created; the server answers "class not available" for it.
//
// To let a new object join the server, add one line to the list in class_registry.cpp:
//     {&QueueClass(), &MakeNew<TQueue>},
// Nothing else in the server changes.
#pragma once

#include <span>
#include <string_view>

#include "automation/automation_object.h"
#include "automation/interfaces.h"

namespace voziroz {

struct CreatableClass {
  const ClassInfo* Info = nullptr;
  // A new object with all its fields zero or empty; throws (std::bad_alloc) when it cannot.
  ObjectPtr<AutomationObject> (*Create)() = nullptr;
};

template <class T>
ObjectPtr<AutomationObject> MakeNew() {
  return MakeObject<T>();
}

// The listed classes, in the type library's order.
std::span<const CreatableClass> CreatableClasses();

// Null when the class is not creatable (unknown, or its object does not exist yet).
const CreatableClass* FindCreatableClass(const Guid& clsid);

}  // namespace voziroz
