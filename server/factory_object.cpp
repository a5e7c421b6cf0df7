#include "server/factory_object.h"

#include <deque>
#include <new>

#include "automation/class_factory.h"
#include "server/com_object.h"
#include "server/guids.h"
#include "server/served_classes.h"
#include "vozcom/c_boundary.h"

namespace voziroz {
namespace {

struct FactoryObject : IClassFactory {
  explicit FactoryObject(const CreatableClass& cls);
  ClassFactory Factory;
};

ClassFactory& FactoryOf(IClassFactory* face) {
  return static_cast<FactoryObject*>(face)->Factory;
}

HRESULT QueryInterface(IClassFactory* face, REFIID iid, void** out) {
  return QueryOneInterface(face, iid, IID_IClassFactory, out);
}

ULONG AddRef(IClassFactory* face) {
  return FactoryOf(face).References().AddRef();
}

ULONG Release(IClassFactory* face) {
  return FactoryOf(face).References().Release();
}

HRESULT CreateInstance(IClassFactory* face, IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!iid) return E_INVALIDARG;
  if (outer && !SameGuid(iid, &IID_IUnknown)) return CLASS_E_NOAGGREGATION;
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

HRESULT LockServer(IClassFactory*, BOOL lock) {
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

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!clsid || !iid) return E_INVALIDARG;
  for (FactoryObject& object : FactoryObjects())
    if (SameGuid(clsid, object.Factory.Class().Clsid)) return QueryInterface(&object, iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace voziroz
