// What keeps the server library loaded: live objects (AutomationObject::LiveObjectCount), locks
// taken through a class factory's LockServer, and references to the objects that live as long as
// the library itself (class factories and type descriptions). Every count changes atomically.
#pragma once

#include <atomic>
#include <cstdint>

#include "automation/error.h"

namespace voziroz {

// The reference count of an object that lives as long as the library: AddRef and Release only
// count (they never delete), and each outstanding reference keeps the library loaded.
class LibraryReference {
 public:
  // Both return the new count. A Release without a matching AddRef leaves the count at 0.
  std::uint32_t AddRef();
  std::uint32_t Release();

 private:
  std::atomic<std::uint32_t> count_{0};
};

// Takes (true) or gives back (false) one lock on the server. Giving back a lock that nobody holds
// changes nothing and answers kUnexpected, so a mismatched unlock cannot keep the library loaded
// or let it unload while a lock is held.
HResult LockServer(bool lock);

// True when no object of the library exists, the server is not locked and no factory or type
// description is referenced.
bool CanUnloadNow();

}  // namespace voziroz
