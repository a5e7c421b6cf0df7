// A reader for the subset of IDL that windows/voziroz.idl uses, for tests that compare the
// Windows type library with the interface tables: a library's attributes, its interfaces with
// their attributes and members, and its coclasses. Throws std::runtime_error with the offending
// token's line on anything it does not understand.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace voziroz::idl {

// Attributes as written: `hidden` maps to "", `id(201)` to "201", `helpstring("x")` to "x".
using Attributes = std::map<std::string, std::string>;

struct Param {
  Attributes Attrs;  // in, out, retval, optional
  std::string Type;  // "VARIANT", "long", "VARIANT_BOOL", "BSTR", "SAFEARRAY(VARIANT)", "IParser"
  int Pointers = 0;  // the number of '*'
  std::string Name;
};

struct Member {
  Attributes Attrs;
  std::string Name;
  std::vector<Param> Params;
};

struct Interface {
  Attributes Attrs;
  std::string Name;
  std::string Base;
  std::vector<Member> Members;
};

struct Coclass {
  Attributes Attrs;
  std::string Name;
  std::string DefaultInterface;
};

struct Library {
  Attributes Attrs;
  std::string Name;
  std::vector<Interface> Interfaces;
  std::vector<Coclass> Coclasses;
};

Library ReadLibrary(const std::string& idl_text);

}  // namespace voziroz::idl
