#include "automation/registration.h"

#include <cstdio>

#include "automation/interfaces.h"

namespace voziroz {
namespace {

// The proxy/stub class of automation-compatible interfaces (marshalled through their type
// library), which type-library registration names for every dual interface.
constexpr std::string_view kAutomationProxyStub = "{00020424-0000-0000-C000-000000000046}";

std::string VersionText() {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", kTypeLibrary.MajorVersion, kTypeLibrary.MinorVersion);
  return text;
}

std::string LocaleText() {
  char text[16];
  std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(kTypeLibrary.Locale));
  return text;
}

std::string Join(std::string_view a, std::string_view b) {
  return std::string(a) + "\\" + std::string(b);
}

std::string TypeLibKey() {
  return Join("TypeLib", GuidToString(kTypeLibrary.Libid));
}
std::string TypeLibVersionKey() {
  return Join(TypeLibKey(), VersionText());
}
std::string InterfaceKey(const InterfaceInfo& iface) {
  return Join("Interface", GuidToString(iface.Iid));
}
std::string ClassKey(const ClassInfo& cls) {
  return Join("CLSID", GuidToString(cls.Clsid));
}

// What the operating system's type-library registration writes for this library.
void AddTypeLibraryValues(const ServerLocation& location, std::vector<RegistryValue>& out) {
  const std::string version_key = TypeLibVersionKey();
  const std::string libid = GuidToString(kTypeLibrary.Libid);
  out.push_back({version_key, "", std::string(kTypeLibrary.HelpString)});
  out.push_back(
      {Join(Join(version_key, LocaleText()), location.Platform), "", location.LibraryPath});
  out.push_back({Join(version_key, "FLAGS"), "", "0"});
  out.push_back({Join(version_key, "HELPDIR"), "", location.HelpDirectory});
  for (const ClassInfo& cls : kTypeLibrary.Classes) {
    const std::string key = InterfaceKey(*cls.Interface);
    out.push_back({key, "", std::string(cls.Interface->Name)});
    out.push_back({Join(key, "ProxyStubClsid"), "", std::string(kAutomationProxyStub)});
    out.push_back({Join(key, "ProxyStubClsid32"), "", std::string(kAutomationProxyStub)});
    out.push_back({Join(key, "TypeLib"), "", libid});
    out.push_back({Join(key, "TypeLib"), "Version", VersionText()});
  }
}

void AddClassValues(const ClassInfo& cls, const ServerLocation& location,
                    std::vector<RegistryValue>& out) {
  const std::string key = ClassKey(cls);
  const std::string help(cls.HelpString);
  const std::string prog_id(cls.ProgId);
  out.push_back({key, "", help});
  out.push_back({Join(key, "InprocServer32"), "", location.LibraryPath});
  out.push_back({Join(key, "InprocServer32"), "ThreadingModel", std::string(cls.ThreadingModel)});
  out.push_back({prog_id, "", help});
  out.push_back({Join(prog_id, "Clsid"), "", GuidToString(cls.Clsid)});
  out.push_back({Join(key, "ProgID"), "", prog_id});
  out.push_back({Join(key, "Version"), "", VersionText()});
  out.push_back({Join(key, "TypeLib"), "", GuidToString(kTypeLibrary.Libid)});
}

}  // namespace

std::vector<RegistryValue> RegistrationValues(const ServerLocation& location) {
  std::vector<RegistryValue> values;
  AddTypeLibraryValues(location, values);
  for (const ClassInfo& cls : kTypeLibrary.Classes) AddClassValues(cls, location, values);
  return values;
}

std::vector<std::string> UnregistrationKeys(const ServerLocation& location) {
  std::vector<std::string> keys;
  for (const ClassInfo& cls : kTypeLibrary.Classes) {
    const std::string key = InterfaceKey(*cls.Interface);
    for (std::string_view sub : {"ProxyStubClsid", "ProxyStubClsid32", "TypeLib"})
      keys.push_back(Join(key, sub));
    keys.push_back(key);
  }
  const std::string version_key = TypeLibVersionKey();
  const std::string locale_key = Join(version_key, LocaleText());
  keys.push_back(Join(locale_key, location.Platform));
  keys.push_back(locale_key);
  keys.push_back(Join(version_key, "FLAGS"));
  keys.push_back(Join(version_key, "HELPDIR"));
  keys.push_back(version_key);
  keys.push_back(TypeLibKey());
  for (const ClassInfo& cls : kTypeLibrary.Classes) {
    const std::string key = ClassKey(cls);
    const std::string prog_id(cls.ProgId);
    for (std::string_view sub : {"TypeLib", "Version", "ProgID"}) keys.push_back(Join(key, sub));
    keys.push_back(Join(prog_id, "Clsid"));
    keys.push_back(prog_id);
    keys.push_back(Join(key, "InprocServer32"));
    keys.push_back(key);
  }
  return keys;
}

void RegisterServer(RegistryWriter& registry, const ServerLocation& location) {
  for (const RegistryValue& v : RegistrationValues(location)) {
    try {
      registry.SetValue(v.Key, v.Name, v.Value);
    } catch (const std::exception& e) {
      throw AutomationError(std::string(kRegistryWriteError) + ": " + e.what(), kFail);
    }
  }
}

void UnregisterServer(RegistryWriter& registry, const ServerLocation& location) {
  for (const std::string& key : UnregistrationKeys(location)) {
    try {
      registry.DeleteKey(key);
    } catch (const std::exception&) {
      // A key that cannot be deleted is left; the rest are still removed.
    }
  }
}

}  // namespace voziroz
