#include "windows/class_factory.h"

#include <atomic>
#include <vector>

#include "windows/com_guid.h"
#include "windows/com_object.h"
#include "windows/served_classes.h"

namespace voziroz {
namespace {

// The server's one message: a creation that failed (memory ran out).
constexpr char kCreationFailureCaption[] = "VAZ Error";

HRESULT ReportCreationFailure(const char* message) {
  MessageBoxA(nullptr, message, kCreationFailureCaption, MB_OK | MB_ICONERROR);
  return E_UNEXPECTED;
}

std::atomic<LONG> factory_references{0};
std::atomic<LONG> server_locks{0};

// Counts one down unless it is 0 already (a release without a matching add changes nothing).
// False when it was 0.
bool CountDown(std::atomic<LONG>& count) {
  LONG held = count.load();
  while (held > 0)
    if (count.compare_exchange_weak(held, held - 1)) return true;
  return false;
}

class ComClassFactory final : public IClassFactory {
 public:
  explicit ComClassFactory(const ServedClass& cls) : class_(&cls) {}

  const ClassInfo& Class() const { return *class_->Info; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // A factory lives as long as the library; its references only keep the library loaded.
  STDMETHODIMP_(ULONG) AddRef() override { return ++factory_references; }
  STDMETHODIMP_(ULONG) Release() override {
    CountDown(factory_references);
    return factory_references;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    IUnknown* inner = nullptr;
    try {
      inner = NewComObject(class_->Create(), outer);
    } catch (const std::exception& error) {
      return ReportCreationFailure(error.what());
    } catch (...) {
      return ReportCreationFailure("Unexpected error");
    }
    // A failed query releases the only reference, which destroys the new object again.
    const HRESULT status = inner->QueryInterface(iid, out);
    inner->Release();
    return status;
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      ++server_locks;
      return S_OK;
    }
    return CountDown(server_locks) ? S_OK : E_UNEXPECTED;
  }

 private:
  const ServedClass* class_;
};

std::vector<ComClassFactory>& Factories() {
  static std::vector<ComClassFactory> factories = [] {
    std::vector<ComClassFactory> made;
    for (const ServedClass& cls : ServedClasses()) made.emplace_back(cls);
    return made;
  }();
  return factories;
}

}  // namespace

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    for (ComClassFactory& factory : Factories())
      if (SameGuid(clsid, factory.Class().Clsid)) return factory.QueryInterface(iid, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

bool ServerCanUnload() {
  return AutomationObject::LiveObjectCount() == 0 && factory_references == 0 && server_locks == 0;
}

}  // namespace voziroz
