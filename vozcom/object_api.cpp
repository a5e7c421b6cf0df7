// Creating objects: ProgID and CLSID lookups in the registry, the server libraries loaded for
// them, and registration through a library's own entry points.
#include <dlfcn.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "vozcom/c_boundary.h"
#include "vozcom/registry_file.h"

namespace {

using voziroz::CError;

constexpr const char* kSource = "Voziroz";

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using NoArgumentFunction = HRESULT (*)();

std::string GuidText(REFGUID guid) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                guid->Data1, guid->Data2, guid->Data3, guid->Data4[0], guid->Data4[1],
                guid->Data4[2], guid->Data4[3], guid->Data4[4], guid->Data4[5], guid->Data4[6],
                guid->Data4[7]);
  return text;
}

bool ParseGuid(const char* text, GUID* guid) {
  constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (!text || std::strlen(text) != kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool hex = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
    if (kShape[i] == 'X' ? !hex : text[i] != kShape[i]) return false;
  }
  unsigned d1 = 0, d2 = 0, d3 = 0, b[8] = {};
  std::sscanf(text, "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3, &b[0], &b[1], &b[2],
              &b[3], &b[4], &b[5], &b[6], &b[7]);
  guid->Data1 = d1;
  guid->Data2 = static_cast<uint16_t>(d2);
  guid->Data3 = static_cast<uint16_t>(d3);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<uint8_t>(b[i]);
  return true;
}

std::string RegisteredValue(const std::string& key) {
  return voziroz::LookUpRegistry(key, "").value_or("");
}

// A library loaded for its objects, with the one entry point needed to reach them.
struct ServerLibrary {
  void* handle = nullptr;
  GetClassObjectFunction get_class_object = nullptr;
};

std::mutex libraries_mutex;
std::map<std::string, ServerLibrary>& Libraries() {
  static auto* libraries = new std::map<std::string, ServerLibrary>;  // lives to the end
  return *libraries;
}

void* LoadLibrary(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw CError(CO_E_DLLNOTFOUND, std::string("cannot load ") + dlerror());
  return handle;
}

void* EntryPoint(void* handle, const char* name, const std::string& path) {
  void* entry = dlsym(handle, name);
  if (!entry) throw CError(CO_E_ERRORINDLL, path + " has no " + name);
  return entry;
}

// The DllGetClassObject of the library at `path`, loaded on first use and kept.
GetClassObjectFunction ClassObjectEntryOf(const std::string& path) {
  std::lock_guard lock(libraries_mutex);
  ServerLibrary& library = Libraries()[path];
  if (!library.handle) {
    void* handle = LoadLibrary(path);
    try {
      library.get_class_object =
          reinterpret_cast<GetClassObjectFunction>(EntryPoint(handle, "DllGetClassObject", path));
    } catch (...) {
      dlclose(handle);
      Libraries().erase(path);
      throw;
    }
    library.handle = handle;
  }
  return library.get_class_object;
}

// The library serving `clsid` by its registration.
GetClassObjectFunction ClassObjectEntry(REFCLSID clsid) {
  const std::string path = RegisteredValue("CLSID\\" + GuidText(clsid) + "\\InprocServer32");
  if (path.empty())
    throw CError(REGDB_E_CLASSNOTREG, "the class " + GuidText(clsid) + " is not registered");
  return ClassObjectEntryOf(path);
}

std::string AbsolutePath(const char* library_path) {
  if (!library_path) throw CError(E_INVALIDARG, "no library named");
  char absolute[PATH_MAX];
  if (!realpath(library_path, absolute))
    throw CError(CO_E_DLLNOTFOUND, std::string("cannot find ") + library_path);
  return absolute;
}

// Makes registration on this thread write the store of `scope` until it ends.
class WriteScope {
 public:
  explicit WriteScope(int scope) : previous_(voziroz::ThreadWriteScope()) {
    if (scope != VZ_REGISTRY_USER && scope != VZ_REGISTRY_SYSTEM)
      throw CError(E_INVALIDARG, "no such registry");
    voziroz::ThreadWriteScope() =
        scope == VZ_REGISTRY_SYSTEM ? voziroz::RegistryScope::System : voziroz::RegistryScope::User;
  }
  ~WriteScope() { voziroz::ThreadWriteScope() = previous_; }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

 private:
  voziroz::RegistryScope previous_;
};

// Loads the library at `path`, calls its entry point `name` with registration writing the store
// of `scope`, and unloads it again.
HRESULT CallOnce(const char* library_path, const char* name, int scope) {
  return voziroz::Guarded(kSource, [&] {
    const WriteScope writing(scope);
    const std::string absolute = AbsolutePath(library_path);
    void* handle = LoadLibrary(absolute);
    try {
      const auto entry = reinterpret_cast<NoArgumentFunction>(EntryPoint(handle, name, absolute));
      const HRESULT result = entry();
      dlclose(handle);
      return result;
    } catch (...) {
      dlclose(handle);
      throw;
    }
  });
}

}  // namespace

extern "C" {

VZ_API HRESULT vz_guid_from_string(const char* text, GUID* guid) {
  if (!guid) return E_POINTER;
  return ParseGuid(text, guid) ? S_OK : CO_E_CLASSSTRING;
}

VZ_API HRESULT vz_guid_to_string(REFGUID guid, char** text) {
  if (!text) return E_POINTER;
  *text = nullptr;
  if (!guid) return E_INVALIDARG;
  return voziroz::Guarded(kSource, [&] {
    *text = voziroz::MallocCopy(GuidText(guid));
    return S_OK;
  });
}

VZ_API HRESULT vz_clsid_from_progid(const char* progid, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  return voziroz::Guarded(kSource, [&] {
    const std::string name = progid ? progid : "";
    const std::string text = name.empty() ? "" : RegisteredValue(name + "\\Clsid");
    if (!ParseGuid(text.c_str(), clsid))
      throw CError(CO_E_CLASSSTRING, "no class is registered as \"" + name + "\"");
    return S_OK;
  });
}

VZ_API HRESULT vz_get_class_object(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!clsid || !riid) return E_INVALIDARG;
  return voziroz::Guarded(kSource, [&] { return ClassObjectEntry(clsid)(clsid, riid, object); });
}

VZ_API HRESULT vz_create_instance(REFCLSID clsid, IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  const HRESULT found = vz_get_class_object(clsid, &IID_IClassFactory, (void**)&factory);
  if (FAILED(found)) return found;
  const HRESULT created = factory->lpVtbl->CreateInstance(factory, outer, riid, object);
  factory->lpVtbl->Release(factory);
  return created;
}

VZ_API HRESULT vz_create_object(const char* progid, IDispatch** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  CLSID clsid;
  const HRESULT found = vz_clsid_from_progid(progid, &clsid);
  if (FAILED(found)) return found;
  return vz_create_instance(&clsid, nullptr, &IID_IDispatch, (void**)object);
}

VZ_API void vz_free_unused_libraries(void) {
  voziroz::Guarded(kSource, [] {
    std::lock_guard lock(libraries_mutex);
    std::erase_if(Libraries(), [](const auto& entry) {
      const auto can_unload =
          reinterpret_cast<NoArgumentFunction>(dlsym(entry.second.handle, "DllCanUnloadNow"));
      if (!can_unload || can_unload() != S_OK) return false;
      dlclose(entry.second.handle);
      return true;
    });
    return S_OK;
  });
}

VZ_API HRESULT vz_get_class_object_from(const char* library_path, REFCLSID clsid, REFIID riid,
                                        void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!clsid || !riid) return E_INVALIDARG;
  return voziroz::Guarded(
      kSource, [&] { return ClassObjectEntryOf(AbsolutePath(library_path))(clsid, riid, object); });
}

VZ_API HRESULT vz_register_server(const char* library_path) {
  return CallOnce(library_path, "DllRegisterServer", VZ_REGISTRY_USER);
}

VZ_API HRESULT vz_unregister_server(const char* library_path) {
  return CallOnce(library_path, "DllUnregisterServer", VZ_REGISTRY_USER);
}

VZ_API HRESULT vz_register_server_in(const char* library_path, int scope) {
  return CallOnce(library_path, "DllRegisterServer", scope);
}

VZ_API HRESULT vz_unregister_server_in(const char* library_path, int scope) {
  return CallOnce(library_path, "DllUnregisterServer", scope);
}

}  // extern "C"
