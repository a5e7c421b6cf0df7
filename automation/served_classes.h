// The classes this server makes: for each coclass of the type library whose object exists, its
// identity and the function that makes a new object. A coclass that is not listed cannot be
// created; the server answers CLASS_E_CLASSNOTAVAILABLE for it (its registration is written all
// the same, as the type library describes it).
//
// To let a new object join the server, add one line to the list in served_classes.cpp,
//     {&QueueClass(), &MakeNew<TQueue>},
// and link its library into voziroz_served_classes (automation/CMakeLists.txt). Nothing else in the
// server changes: the dispatcher, the function tables, the type information and the registration
// already know every interface.
#pragma once

#include <span>

#include "automation/class_factory.h"

namespace voziroz {

// In the type library's order.
std::span<const CreatableClass> ServedClasses();

}  // namespace voziroz
