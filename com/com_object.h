// ComObject: an automation object as the binary standard sees it. One ComObject wraps one
// AutomationObject and serves IUnknown, IDispatch and the class's own dual interface (one
// function table: IDispatch's functions, then the members), ISupportErrorInfo and
// IProvideClassInfo. It may be aggregated: then every interface but the inner IUnknown hands
// QueryInterface, AddRef and Release to the outer object.
//
// Ownership: the wrapper holds one reference to its object; the wrapper lives while interface
// references to it exist, and is born holding the one reference its maker receives. While a
// wrapper that is not aggregated lives, it is the only one of its object, so an object handed
// out twice is the same reference.
#pragma once

#include <atomic>

#include "automation/automation_object.h"
#include "com/platform.h"

namespace voziroz {

class ComObject;

// One interface of a ComObject: the interface's function-table pointer, then the wrapper.
template <class Interface>
struct Facet : Interface {
  ComObject* owner = nullptr;
};

class ComObject {
 public:
  // A new wrapper of `object`, returned as its inner IUnknown with one reference; aggregated
  // into `outer` when that is not null. Throws std::bad_alloc.
  static IUnknown* Create(ObjectPtr<AutomationObject> object, IUnknown* outer);
  // The IDispatch of `object` for a result: the existing wrapper while it lives, else a new one.
  // One reference. Throws std::bad_alloc.
  static IDispatch* DispatchFor(const ObjectPtr<AutomationObject>& object);
  // The object behind an interface pointer: ours when the pointer, or the IDispatch that its
  // QueryInterface gives, has one of our dual function tables. Null for a foreign object or null.
  static AutomationObject* ObjectBehind(IUnknown* unknown);

  // The wrapper of one of its dispatch-interface pointers.
  static ComObject& Of(IDispatch* dispatch) {
    return *static_cast<Facet<IDispatch>*>(dispatch)->owner;
  }
  AutomationObject& Object() const { return *object_; }
  IUnknown* Controlling() { return outer_ ? outer_ : &inner_; }

  // The non-delegating IUnknown.
  HRESULT InnerQueryInterface(const IID* iid, void** out);
  ULONG InnerAddRef();
  ULONG InnerRelease();

 private:
  ComObject(ObjectPtr<AutomationObject> object, IUnknown* outer);

  Facet<IDispatch> dispatch_;
  Facet<ISupportErrorInfo> support_error_info_;
  Facet<IProvideClassInfo> provide_class_info_;
  Facet<IUnknown> inner_;
  std::atomic<ULONG> references_{1};
  IUnknown* outer_;
  ObjectPtr<AutomationObject> object_;
};

// The IDispatch functions of every dual interface (slots 3 to 6), implemented once over the
// object's dispatcher and type information.
HRESULT DispatchGetTypeInfoCount(IDispatch* self, UINT* count);
HRESULT DispatchGetTypeInfo(IDispatch* self, UINT index, ITypeInfo** info);
HRESULT DispatchGetIDsOfNames(IDispatch* self, const IID* iid, LPOLESTR* names, UINT count,
                              DISPID* ids);
HRESULT DispatchInvoke(IDispatch* self, DISPID id, const IID* iid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argument_error);

// Slots 0 to 6 of interface I's function table: each hands the call on as one on IDispatch.
template <class I>
struct DispatchSlots {
  static IDispatch* Self(I* self) { return reinterpret_cast<IDispatch*>(self); }
  static HRESULT VZ_CALL QueryInterface(I* self, REFIID iid, void** out) {
    IUnknown* controlling = ComObject::Of(Self(self)).Controlling();
    return controlling->lpVtbl->QueryInterface(controlling, iid, out);
  }
  static ULONG VZ_CALL AddRef(I* self) {
    IUnknown* controlling = ComObject::Of(Self(self)).Controlling();
    return controlling->lpVtbl->AddRef(controlling);
  }
  static ULONG VZ_CALL Release(I* self) {
    IUnknown* controlling = ComObject::Of(Self(self)).Controlling();
    return controlling->lpVtbl->Release(controlling);
  }
  static HRESULT VZ_CALL GetTypeInfoCount(I* self, UINT* count) {
    return DispatchGetTypeInfoCount(Self(self), count);
  }
  static HRESULT VZ_CALL GetTypeInfo(I* self, UINT index, LCID, ITypeInfo** info) {
    return DispatchGetTypeInfo(Self(self), index, info);
  }
  static HRESULT VZ_CALL GetIDsOfNames(I* self, REFIID iid, LPOLESTR* names, UINT count, LCID,
                                       DISPID* ids) {
    return DispatchGetIDsOfNames(Self(self), IidOf(iid), names, count, ids);
  }
  static HRESULT VZ_CALL Invoke(I* self, DISPID id, REFIID iid, LCID, WORD flags,
                                DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                UINT* argument_error) {
    return DispatchInvoke(Self(self), id, IidOf(iid), flags, params, result, exception,
                          argument_error);
  }
};

// Designated initialisers of slots 0 to 6 for the function table of interface I.
#define VOZ_DISPATCH_SLOTS(I)                                                                     \
  .QueryInterface = ::voziroz::DispatchSlots<I>::QueryInterface,                                  \
  .AddRef = ::voziroz::DispatchSlots<I>::AddRef, .Release = ::voziroz::DispatchSlots<I>::Release, \
  .GetTypeInfoCount = ::voziroz::DispatchSlots<I>::GetTypeInfoCount,                              \
  .GetTypeInfo = ::voziroz::DispatchSlots<I>::GetTypeInfo,                                        \
  .GetIDsOfNames = ::voziroz::DispatchSlots<I>::GetIDsOfNames,                                    \
  .Invoke = ::voziroz::DispatchSlots<I>::Invoke

}  // namespace voziroz
