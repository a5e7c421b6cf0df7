// GUIDs between the C interface's GUID and the automation core's Guid.
#pragma once

#include <cstring>

#include "automation/interfaces.h"
#include "include/voziroz.h"

namespace voziroz {

inline bool SameGuid(REFGUID a, REFGUID b) {
  return std::memcmp(a, b, sizeof(GUID)) == 0;
}

inline Guid ToGuid(const GUID& guid) {
  Guid out;
  out.Data1 = guid.Data1;
  out.Data2 = guid.Data2;
  out.Data3 = guid.Data3;
  std::memcpy(out.Data4.data(), guid.Data4, sizeof guid.Data4);
  return out;
}

inline GUID ToCGuid(const Guid& guid) {
  GUID out;
  out.Data1 = guid.Data1;
  out.Data2 = guid.Data2;
  out.Data3 = guid.Data3;
  std::memcpy(out.Data4, guid.Data4.data(), sizeof out.Data4);
  return out;
}

inline bool SameGuid(REFGUID a, const Guid& b) {
  return ToGuid(*a) == b;
}

}  // namespace voziroz
