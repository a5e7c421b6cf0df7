// The IClassFactory of each creatable class, over the automation core's ClassFactory.
#pragma once

#include "include/voziroz.h"

namespace voziroz {

// The factory of `clsid` as interface `iid` (IUnknown or IClassFactory). *out is null on
// failure: CLASS_E_CLASSNOTAVAILABLE for a class that cannot be created, E_NOINTERFACE.
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out);

}  // namespace voziroz
