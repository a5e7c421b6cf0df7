// The four entry points of the in-process server (the only exports, listed in voziroz.def).
// No C++ exception crosses them.
#include "com/factory_object.h"

#include "automation/server_lifetime.h"
#include "windows/registration.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return voziroz::GetClassFactory(&clsid, &iid, out);
}

STDAPI DllCanUnloadNow() {
  return voziroz::CanUnloadNow() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  return voziroz::RegisterLibrary();
}

STDAPI DllUnregisterServer() {
  return voziroz::UnregisterLibrary();
}
