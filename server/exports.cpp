// The four entry points of the in-process server, the only functions libvoziroz.so exports.
#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "automation/registration.h"
#include "automation/server_lifetime.h"
#include "com/factory_object.h"
#include "vozcom/c_boundary.h"

namespace voziroz {
namespace {

constexpr const char* kSource = "Voziroz";

// The message of the thread's error information (left by a failed vz_ function), or `fallback`.
std::string TakeErrorMessage(const char* fallback) {
  IErrorInfo* info = nullptr;
  if (vz_get_error_info(0, &info) != S_OK) return fallback;
  BSTR description = nullptr;
  info->lpVtbl->GetDescription(info, &description);
  info->lpVtbl->Release(info);
  char* text = vz_bstr_to_utf8(description);
  vz_bstr_free(description);
  std::string message = text ? text : fallback;
  vz_free(text);
  return message;
}

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) throw std::runtime_error(TakeErrorMessage(what));
}

// The registry of the platform library, changed in one transaction.
class StoreWriter : public RegistryWriter {
 public:
  StoreWriter() {
    if (FAILED(vz_registry_open(&registry_)))
      throw AutomationError(
          std::string(kRegistryWriteError) + ": " + TakeErrorMessage("cannot open the registry"),
          kFail);
  }
  ~StoreWriter() override { vz_registry_close(registry_); }
  StoreWriter(const StoreWriter&) = delete;
  StoreWriter& operator=(const StoreWriter&) = delete;

  void SetValue(std::string_view key, std::string_view name, std::string_view value) override {
    Check(vz_registry_set_value(registry_, std::string(key).c_str(), std::string(name).c_str(),
                                std::string(value).c_str()),
          "cannot set a value");
  }
  void DeleteKey(std::string_view key) override {
    Check(vz_registry_delete_key(registry_, std::string(key).c_str()), "cannot delete a key");
  }
  void Commit() {
    if (FAILED(vz_registry_commit(registry_)))
      throw AutomationError(
          std::string(kRegistryWriteError) + ": " + TakeErrorMessage("cannot write the registry"),
          kFail);
  }

 private:
  vz_registry* registry_ = nullptr;
};

// This library's full path and folder, and the type library's platform key.
ServerLocation ThisLibrary() {
  Dl_info info{};
  char path[PATH_MAX];
  if (!dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) || !info.dli_fname ||
      !realpath(info.dli_fname, path))
    throw AutomationError("cannot find the server library's own file", kFail);
  std::string library = path;
  const std::size_t slash = library.rfind('/');
  std::string folder = slash == 0 ? "/" : library.substr(0, slash);
  return {library, folder, sizeof(void*) == 8 ? "win64" : "win32"};
}

template <class Change>
HRESULT ChangeRegistration(Change change) {
  return Guarded(kSource, [&] {
    try {
      const ServerLocation location = ThisLibrary();
      StoreWriter writer;
      change(writer, location);
      writer.Commit();
      return S_OK;
    } catch (const AutomationError& e) {
      throw CError(E_FAIL, e.what());
    }
  });
}

}  // namespace
}  // namespace voziroz

extern "C" {

VZ_API HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return voziroz::GetClassFactory(clsid, iid, out);
}

VZ_API HRESULT DllCanUnloadNow(void) {
  return voziroz::CanUnloadNow() ? S_OK : S_FALSE;
}

VZ_API HRESULT DllRegisterServer(void) {
  return voziroz::ChangeRegistration(voziroz::RegisterServer);
}

VZ_API HRESULT DllUnregisterServer(void) {
  return voziroz::ChangeRegistration(voziroz::UnregisterServer);
}

}  // extern "C"
