// Registration of the server: the keys and string values under HKEY_CLASSES_ROOT that describe
// the type library and its interfaces and make every class creatable by ProgID and CLSID. They
// are written through the abstract RegistryWriter, so each platform supplies its own registry.
//
// Keys are paths below HKEY_CLASSES_ROOT with backslashes ("CLSID\{...}\InprocServer32"); the
// default value of a key has the empty name. GUIDs appear in upper case with braces.
// Errors: RegisterServer throws AutomationError (number E_FAIL) when the registry cannot be
// written; the server turns that into its E_FAIL result. UnregisterServer ignores keys it cannot
// delete.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/error.h"

namespace voziroz {

inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);  // E_FAIL

// The message of a registration that could not write the registry.
inline constexpr std::string_view kRegistryWriteError = "Error creating system registry entry";

class RegistryWriter {
 public:
  virtual ~RegistryWriter() = default;
  // Creates `key` with its parents and sets its string value `name`. Throws when it cannot.
  virtual void SetValue(std::string_view key, std::string_view name, std::string_view value) = 0;
  // Deletes the values of `key`, and the key itself unless it has subkeys. A key that is not
  // there is no error. Throws when it cannot.
  virtual void DeleteKey(std::string_view key) = 0;
};

struct RegistryValue {
  std::string Key;
  std::string Name;
  std::string Value;
  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// Where the server is: the library's full path, the folder that holds it (the type library's
// help folder) and the type library's platform key ("win32" or "win64").
struct ServerLocation {
  std::string LibraryPath;
  std::string HelpDirectory;
  std::string Platform;
};

// The values a registration writes, in writing order: first the type library's (TypeLib\{LIBID}
// and Interface\{IID} for its six interfaces), then each class's (CLSID\{CLSID} with
// InprocServer32, ProgID, Version and TypeLib; the ProgID key with Clsid).
std::vector<RegistryValue> RegistrationValues(const ServerLocation& location);

// The keys an unregistration deletes, in deleting order (subkeys before their parents). Only the
// location's platform matters: the type library of the other platform stays registered.
std::vector<std::string> UnregistrationKeys(const ServerLocation& location);

// Writes every value of RegistrationValues; stops at the first that cannot be written and throws
// AutomationError "Error creating system registry entry: <reason>" (the values written before
// stay).
void RegisterServer(RegistryWriter& registry, const ServerLocation& location);

// Deletes every key of UnregistrationKeys; a key that cannot be deleted is skipped.
void UnregisterServer(RegistryWriter& registry, const ServerLocation& location);

}  // namespace voziroz
