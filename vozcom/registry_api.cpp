// The registry store through the C interface.
#include <memory>

#include "vozcom/c_boundary.h"
#include "vozcom/registry_file.h"

struct vz_registry {
  voziroz::RegistryTransaction transaction;
};

namespace {

constexpr const char* kSource = "Voziroz registry";

HRESULT Run(auto&& body) {
  return voziroz::Guarded(kSource, [&]() -> HRESULT {
    try {
      return body();
    } catch (const voziroz::BadRegistryField& e) {
      throw voziroz::CError(E_INVALIDARG, e.what());
    }
  });
}

std::string Text(const char* text) {
  return text ? text : "";
}

}  // namespace

extern "C" {

VZ_API HRESULT vz_registry_path(char** path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  return Run([&] {
    *path = voziroz::MallocCopy(voziroz::RegistryPath());
    return S_OK;
  });
}

VZ_API HRESULT vz_registry_scope_path(int scope, char** path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  if (scope != VZ_REGISTRY_USER && scope != VZ_REGISTRY_SYSTEM) return E_INVALIDARG;
  return Run([&] {
    *path = voziroz::MallocCopy(voziroz::RegistryPathOf(scope == VZ_REGISTRY_SYSTEM
                                                            ? voziroz::RegistryScope::System
                                                            : voziroz::RegistryScope::User));
    return S_OK;
  });
}

VZ_API HRESULT vz_registry_get_value(const char* key, const char* name, char** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Run([&] {
    const std::optional<std::string> found = voziroz::LookUpRegistry(Text(key), Text(name));
    if (!found) return REGDB_E_KEYMISSING;
    *value = voziroz::MallocCopy(*found);
    return S_OK;
  });
}

VZ_API HRESULT vz_registry_open(vz_registry** registry) {
  if (!registry) return E_POINTER;
  *registry = nullptr;
  return Run([&] {
    const voziroz::RegistryScope scope = voziroz::ThreadWriteScope();
    const mode_t folder_mode = scope == voziroz::RegistryScope::System ? 0755 : 0700;
    *registry =
        new vz_registry{voziroz::RegistryTransaction(voziroz::RegistryPathOf(scope), folder_mode)};
    return S_OK;
  });
}

VZ_API HRESULT vz_registry_set_value(vz_registry* registry, const char* key, const char* name,
                                     const char* value) {
  if (!registry) return E_INVALIDARG;
  return Run([&] {
    registry->transaction.Contents().Set(Text(key), Text(name), Text(value));
    return S_OK;
  });
}

VZ_API HRESULT vz_registry_delete_key(vz_registry* registry, const char* key) {
  if (!registry) return E_INVALIDARG;
  return Run(
      [&] { return registry->transaction.Contents().DeleteKey(Text(key)) ? S_OK : S_FALSE; });
}

VZ_API HRESULT vz_registry_commit(vz_registry* registry) {
  if (!registry) return E_INVALIDARG;
  return Run([&] {
    registry->transaction.Commit();
    return S_OK;
  });
}

VZ_API void vz_registry_close(vz_registry* registry) {
  delete registry;
}

}  // extern "C"
