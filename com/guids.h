// GUIDs between the binary standard's GUID and the automation core's Guid (same fields).
#pragma once

#include <cstring>

#include "automation/interfaces.h"
#include "com/platform.h"

namespace voziroz {

inline GUID ToCGuid(const Guid& guid) {
  GUID out;
  out.Data1 = guid.Data1;
  out.Data2 = guid.Data2;
  out.Data3 = guid.Data3;
  std::memcpy(out.Data4, guid.Data4.data(), sizeof out.Data4);
  return out;
}

inline bool SameGuid(const GUID* a, const GUID& b) {
  return a && std::memcmp(a, &b, sizeof(GUID)) == 0;
}

inline bool SameGuid(const GUID* a, const Guid& b) {
  const GUID c = ToCGuid(b);
  return SameGuid(a, c);
}

}  // namespace voziroz
