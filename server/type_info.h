// Type information of the type library, made from the interface descriptions of interfaces.h:
// one ITypeInfo per dispatch interface (TKIND_DISPATCH, its members as FUNC_DISPATCH functions)
// and one per coclass (TKIND_COCLASS, its one default interface). They live as long as the
// library; their references keep it loaded.
#pragma once

#include "automation/interfaces.h"
#include "include/voziroz.h"

namespace voziroz {

// With one reference each.
ITypeInfo* InterfaceTypeInfo(const InterfaceInfo& iface);
ITypeInfo* ClassTypeInfo(const ClassInfo& cls);

}  // namespace voziroz
