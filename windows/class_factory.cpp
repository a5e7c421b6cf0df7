#include "windows/class_factory.h"

#include <deque>

#include "automation/class_factory.h"
#include "server/served_classes.h"
#include "windows/com_guid.h"
#include "windows/com_object.h"

namespace voziroz {
namespace {

// The IClassFactory of one served class, over the shared ClassFactory (which makes the object,
// reports a failure and counts the factory's references).
class ComClassFactory final : public IClassFactory {
 public:
  explicit ComClassFactory(const CreatableClass& cls) : factory_(cls) {}

  const ClassInfo& Class() const { return factory_.Class(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // A factory lives as long as the library; its references only keep the library loaded.
  STDMETHODIMP_(ULONG) AddRef() override { return factory_.References().AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return factory_.References().Release(); }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    ObjectPtr<AutomationObject> object;
    if (Failed(factory_.CreateObject(object))) return E_UNEXPECTED;
    IUnknown* inner = nullptr;
    try {
      inner = NewComObject(std::move(object), outer);
    } catch (const std::bad_alloc&) {
      ReportCreationFailure("Out of memory");
      return E_UNEXPECTED;
    }
    // A failed query releases the only reference, which destroys the new object again.
    const HRESULT status = inner->QueryInterface(iid, out);
    inner->Release();
    return status;
  }

  STDMETHODIMP LockServer(BOOL lock) override { return voziroz::LockServer(lock != FALSE); }

 private:
  ClassFactory factory_;
};

// One per served class, made when the library loads.
std::deque<ComClassFactory>& Factories() {
  static std::deque<ComClassFactory> factories = [] {
    std::deque<ComClassFactory> made;
    for (const CreatableClass& cls : ServedClasses()) made.emplace_back(cls);
    return made;
  }();
  return factories;
}

[[maybe_unused]] const bool kMadeAtLoad = (Factories(), true);

}  // namespace

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (ComClassFactory& factory : Factories())
    if (SameGuid(clsid, factory.Class().Clsid)) return factory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace voziroz
