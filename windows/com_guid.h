// The shared GUID record (automation/interfaces.h) and the system's GUID have the same fields;
// these convert between them.
#pragma once

#include <windows.h>

#include <algorithm>

#include "automation/interfaces.h"

namespace voziroz {

inline GUID ToGuid(const Guid& guid) {
  GUID result{guid.Data1, guid.Data2, guid.Data3, {}};
  std::copy(guid.Data4.begin(), guid.Data4.end(), result.Data4);
  return result;
}

inline bool SameGuid(REFGUID a, const Guid& b) {
  return IsEqualGUID(a, ToGuid(b));
}

}  // namespace voziroz
