// Self-registration of Voziroz.dll under HKEY_CLASSES_ROOT: the operating system registers the
// type library (its TypeLib and Interface keys); the keys of the six classes are the shared
// list of automation/registration.h, written into the system registry.
//
// Errors: registration stops at the first step that fails and answers E_FAIL, leaving what was
// written before; unregistration removes what it can, ignoring keys that are not there.
#pragma once

#include "com/platform.h"

namespace voziroz {

HRESULT RegisterLibrary();
HRESULT UnregisterLibrary();

}  // namespace voziroz
