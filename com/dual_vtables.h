// The function tables of the six dual interfaces: IDispatch's seven functions, then one function
// per member in slot order (generated from automation/interfaces.py), each calling the member
// through the dispatcher with the member's own C types. A failure inside a member returns its
// error number and leaves the error as the thread's error information; refusals return the
// dispatcher's code.
#pragma once

#include "automation/interfaces.h"
#include "com/platform.h"

namespace voziroz {

// The function table of `iface` (an IParserVtbl for kParserInterface, ...), for an object's
// dispatch-interface pointer.
const void* DualVtableOf(const InterfaceInfo& iface);

// True when `vtable` is one of the tables above.
bool IsDualVtable(const void* vtable);

// The Invoke flag of a member's kind (DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT; also its
// INVOKEKIND, which has the same numbers).
WORD InvokeFlagOf(MemberKind kind);

}  // namespace voziroz
