#include "com/factory_object.h"

#include <deque>
#include <new>

#include "automation/class_factory.h"
#include "automation/served_classes.h"
#include "com/com_object.h"
#include "com/guids.h"

namespace voziroz {
namespace {

struct FactoryObject : IClassFactory {
  explicit FactoryObject(const CreatableClass& cls);
  ClassFactory Factory;
};

ClassFactory& FactoryOf(IClassFactory* face) {
  return static_cast<FactoryObject*>(face)->Factory;
}

HRESULT Query(IClassFactory* face, const IID* iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!SameGuid(iid, IID_IUnknown) && !SameGuid(iid, IID_IClassFactory)) return E_NOINTERFACE;
  face->lpVtbl->AddRef(face);
  *out = face;
  return S_OK;
}

HRESULT VZ_CALL QueryInterface(IClassFactory* face, REFIID iid, void** out) {
  return Query(face, IidOf(iid), out);
}

// A factory lives as long as the library; its references only keep the library loaded.
ULONG VZ_CALL AddRef(IClassFactory* face) {
  return FactoryOf(face).References().AddRef();
}

ULONG VZ_CALL Release(IClassFactory* face) {
  return FactoryOf(face).References().Release();
}

HRESULT VZ_CALL CreateInstance(IClassFactory* face, IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const IID* asked = IidOf(iid);
  if (!asked) return E_INVALIDARG;
  if (outer && !SameGuid(asked, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  ObjectPtr<AutomationObject> object;
  if (FAILED(FactoryOf(face).CreateObject(object))) return E_UNEXPECTED;
  IUnknown* inner = nullptr;
  try {
    inner = ComObject::Create(std::move(object), outer);
  } catch (const std::bad_alloc&) {
    ReportCreationFailure("Out of memory");
    return E_UNEXPECTED;
  }
  // The query takes its own reference; giving back the first destroys the object on failure.
  const HRESULT found = inner->lpVtbl->QueryInterface(inner, iid, out);
  inner->lpVtbl->Release(inner);
  return found;
}

HRESULT VZ_CALL LockServer(IClassFactory*, BOOL lock) {
  return voziroz::LockServer(lock != 0) == kOk ? S_OK : E_UNEXPECTED;
}

constexpr IClassFactoryVtbl kClassFactoryVtbl = {
    .QueryInterface = QueryInterface,
    .AddRef = AddRef,
    .Release = Release,
    .CreateInstance = CreateInstance,
    .LockServer = LockServer,
};

FactoryObject::FactoryObject(const CreatableClass& cls)
    : IClassFactory{&kClassFactoryVtbl}, Factory(cls) {}

// One per served class, made when the library loads.
std::deque<FactoryObject>& FactoryObjects() {
  static std::deque<FactoryObject> objects = [] {
    std::deque<FactoryObject> made;
    for (const CreatableClass& c : ServedClasses()) made.emplace_back(c);
    return made;
  }();
  return objects;
}

[[maybe_unused]] const bool kMadeAtLoad = (FactoryObjects(), true);

}  // namespace

HRESULT GetClassFactory(const CLSID* clsid, const IID* iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!clsid || !iid) return E_INVALIDARG;
  for (FactoryObject& object : FactoryObjects())
    if (SameGuid(clsid, object.Factory.Class().Clsid)) return Query(&object, iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace voziroz
