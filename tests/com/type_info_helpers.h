// Reading type information in tests: documentation strings and type attributes.
#pragma once

#include <string>

#include "tests/com/com_test_helpers.h"

namespace voziroz::testing {

inline std::string Documentation(ITypeInfo* info, MEMBERID id, std::string* name = nullptr) {
  BSTR found_name = nullptr;
  BSTR doc = nullptr;
  if (FAILED(info->lpVtbl->GetDocumentation(info, id, &found_name, &doc, nullptr, nullptr)))
    return "(none)";
  if (name) *name = Ansi(found_name);
  const std::string result = Ansi(doc);
  FreeBstr(found_name);
  FreeBstr(doc);
  return result;
}

struct TypeAttr {
  GUID guid;
  TYPEKIND kind;
  WORD functions, implemented, flags;
};

inline TypeAttr AttrOf(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->lpVtbl->GetTypeAttr(info, &attr), S_OK);
  const TypeAttr result{attr->guid, attr->typekind, attr->cFuncs, attr->cImplTypes,
                        attr->wTypeFlags};
  info->lpVtbl->ReleaseTypeAttr(info, attr);
  return result;
}

inline bool Same(const GUID& a, const Guid& b) {
  return SameGuid(&a, b);
}

}  // namespace voziroz::testing
