#include "com/com_object.h"

#include <mutex>
#include <unordered_map>

#include "com/dispatch_bridge.h"
#include "com/dual_vtables.h"
#include "com/guids.h"
#include "com/type_info.h"

namespace voziroz {
namespace {

// The wrappers made for objects handed out as results, so that an object keeps one identity.
std::mutex wrappers_mutex;
std::unordered_map<AutomationObject*, ComObject*>& Wrappers() {
  static std::unordered_map<AutomationObject*, ComObject*> wrappers;  // empty when unloaded
  return wrappers;
}

template <class I>
ComObject& Owner(I* face) {
  return *static_cast<Facet<I>*>(face)->owner;
}

// IUnknown functions of the facets other than the dispatch interface: to the controlling one.
template <class I>
struct DelegatingUnknown {
  static HRESULT VZ_CALL QueryInterface(I* self, REFIID iid, void** out) {
    IUnknown* controlling = Owner(self).Controlling();
    return controlling->lpVtbl->QueryInterface(controlling, iid, out);
  }
  static ULONG VZ_CALL AddRef(I* self) {
    IUnknown* controlling = Owner(self).Controlling();
    return controlling->lpVtbl->AddRef(controlling);
  }
  static ULONG VZ_CALL Release(I* self) {
    IUnknown* controlling = Owner(self).Controlling();
    return controlling->lpVtbl->Release(controlling);
  }
};

HRESULT VZ_CALL InterfaceSupportsErrorInfo(ISupportErrorInfo* self, REFIID iid) {
  const IID* asked = IidOf(iid);
  if (!asked) return E_INVALIDARG;
  const InterfaceInfo& own = *Owner(self).Object().Class().Interface;
  return SameGuid(asked, own.Iid) || SameGuid(asked, IID_IDispatch) ? S_OK : S_FALSE;
}

HRESULT VZ_CALL GetClassInfo(IProvideClassInfo* self, ITypeInfo** info) {
  return ClassTypeInfo(Owner(self).Object().Class(), info);
}

HRESULT VZ_CALL InnerQueryInterface(IUnknown* self, REFIID iid, void** out) {
  return Owner(self).InnerQueryInterface(IidOf(iid), out);
}
ULONG VZ_CALL InnerAddRef(IUnknown* self) {
  return Owner(self).InnerAddRef();
}
ULONG VZ_CALL InnerRelease(IUnknown* self) {
  return Owner(self).InnerRelease();
}

constexpr ISupportErrorInfoVtbl kSupportErrorInfoVtbl = {
    .QueryInterface = DelegatingUnknown<ISupportErrorInfo>::QueryInterface,
    .AddRef = DelegatingUnknown<ISupportErrorInfo>::AddRef,
    .Release = DelegatingUnknown<ISupportErrorInfo>::Release,
    .InterfaceSupportsErrorInfo = InterfaceSupportsErrorInfo,
};
constexpr IProvideClassInfoVtbl kProvideClassInfoVtbl = {
    .QueryInterface = DelegatingUnknown<IProvideClassInfo>::QueryInterface,
    .AddRef = DelegatingUnknown<IProvideClassInfo>::AddRef,
    .Release = DelegatingUnknown<IProvideClassInfo>::Release,
    .GetClassInfo = GetClassInfo,
};
constexpr IUnknownVtbl kInnerUnknownVtbl = {
    .QueryInterface = InnerQueryInterface,
    .AddRef = InnerAddRef,
    .Release = InnerRelease,
};

// Adds a reference unless the count already reached 0 (the wrapper is being destroyed).
bool TryAddRef(std::atomic<ULONG>& references) {
  ULONG current = references.load();
  while (current > 0)
    if (references.compare_exchange_weak(current, current + 1)) return true;
  return false;
}

// The dispatch interface of a pointer's object, or null; no reference is kept.
IDispatch* OwnDispatch(IUnknown* unknown) {
  if (IsDualVtable(unknown->lpVtbl)) return reinterpret_cast<IDispatch*>(unknown);
  IDispatch* dispatch = nullptr;
  if (FAILED(unknown->lpVtbl->QueryInterface(unknown, RefIid(IID_IDispatch),
                                             reinterpret_cast<void**>(&dispatch))) ||
      !dispatch)
    return nullptr;
  const bool ours = IsDualVtable(dispatch->lpVtbl);
  dispatch->lpVtbl->Release(dispatch);
  return ours ? dispatch : nullptr;
}

}  // namespace

ComObject::ComObject(ObjectPtr<AutomationObject> object, IUnknown* outer)
    : outer_(outer), object_(std::move(object)) {
  dispatch_.lpVtbl = static_cast<const IDispatchVtbl*>(DualVtableOf(*object_->Class().Interface));
  dispatch_.owner = this;
  support_error_info_.lpVtbl = &kSupportErrorInfoVtbl;
  support_error_info_.owner = this;
  provide_class_info_.lpVtbl = &kProvideClassInfoVtbl;
  provide_class_info_.owner = this;
  inner_.lpVtbl = &kInnerUnknownVtbl;
  inner_.owner = this;
}

IUnknown* ComObject::Create(ObjectPtr<AutomationObject> object, IUnknown* outer) {
  auto* made = new ComObject(std::move(object), outer);
  if (!outer) {
    std::lock_guard lock(wrappers_mutex);
    Wrappers()[&made->Object()] = made;
  }
  return &made->inner_;
}

IDispatch* ComObject::DispatchFor(const ObjectPtr<AutomationObject>& object) {
  std::lock_guard lock(wrappers_mutex);
  auto& wrappers = Wrappers();
  const auto it = wrappers.find(object.get());
  if (it != wrappers.end() && TryAddRef(it->second->references_)) return &it->second->dispatch_;
  auto* made = new ComObject(object, nullptr);
  wrappers[object.get()] = made;
  return &made->dispatch_;
}

AutomationObject* ComObject::ObjectBehind(IUnknown* unknown) {
  if (!unknown) return nullptr;
  IDispatch* dispatch = OwnDispatch(unknown);
  return dispatch ? &Of(dispatch).Object() : nullptr;
}

HRESULT ComObject::InnerQueryInterface(const IID* iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!iid) return E_INVALIDARG;
  IUnknown* face = nullptr;
  if (SameGuid(iid, IID_IUnknown))
    face = &inner_;
  else if (SameGuid(iid, IID_IDispatch) || SameGuid(iid, object_->Class().Interface->Iid))
    face = reinterpret_cast<IUnknown*>(static_cast<IDispatch*>(&dispatch_));
  else if (SameGuid(iid, IID_ISupportErrorInfo))
    face = reinterpret_cast<IUnknown*>(static_cast<ISupportErrorInfo*>(&support_error_info_));
  else if (SameGuid(iid, IID_IProvideClassInfo))
    face = reinterpret_cast<IUnknown*>(static_cast<IProvideClassInfo*>(&provide_class_info_));
  if (!face) return E_NOINTERFACE;
  face->lpVtbl->AddRef(face);
  *out = face;
  return S_OK;
}

ULONG ComObject::InnerAddRef() {
  return ++references_;
}

ULONG ComObject::InnerRelease() {
  const ULONG remaining = --references_;
  if (remaining > 0) return remaining;
  if (!outer_) {
    std::lock_guard lock(wrappers_mutex);
    const auto it = Wrappers().find(object_.get());
    if (it != Wrappers().end() && it->second == this) Wrappers().erase(it);
  }
  delete this;
  return 0;
}

HRESULT DispatchGetTypeInfoCount(IDispatch*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT DispatchGetTypeInfo(IDispatch* self, UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return InterfaceTypeInfo(*ComObject::Of(self).Object().Class().Interface, info);
}

HRESULT DispatchGetIDsOfNames(IDispatch* self, const IID* iid, LPOLESTR* names, UINT count,
                              DISPID* ids) {
  if (!SameGuid(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return GetIDsOfNamesOf(*ComObject::Of(self).Object().Class().Interface, names, count, ids);
}

HRESULT DispatchInvoke(IDispatch* self, DISPID id, const IID* iid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  return InvokeOf(ComObject::Of(self).Object(), id, iid, flags, params, result, exception,
                  argument_error);
}

}  // namespace voziroz
