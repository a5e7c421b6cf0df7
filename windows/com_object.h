// The COM face of a shared automation object: IUnknown (with aggregation), IDispatch, the
// object's own dual interface, ISupportErrorInfo and IProvideClassInfo. Calls by name and by
// DISPID go to the shared dispatcher (automation/dispatch.h); calls through the dual interface's
// function table go to the same dispatcher by member number (com_call.h).
//
// Ownership: a COM object holds one reference to its shared object and is destroyed when its
// own count drops to 0. An object that is not aggregated is the only COM object of its shared
// object while it lives, so a script that gets the same object back gets the same reference.
// Errors of members (automation/error.h) reach the caller two ways: IDispatch::Invoke returns
// DISP_E_EXCEPTION with the EXCEPINFO filled; a function-table call sets the thread's error
// information and returns the error's number.
#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <windows.h>

#include <atomic>

#include "automation/dispatch.h"
#include "windows/com_call.h"

namespace voziroz {

// The shared object behind one of our COM objects, or a ForeignObject holding `object`.
// Requires a non-null object.
ObjectPtr<AutomationObject> AdoptComObject(IUnknown* object);

// Fills `out` (taken as holding nothing) with a reference to the object: VT_DISPATCH, or
// VT_UNKNOWN for a foreign object without IDispatch.
HRESULT ComReferenceTo(const ObjectPtr<AutomationObject>& object, VARIANT& out);

// A new COM object for `object` (of one of the library's six classes), aggregated in `outer`
// when that is not null. Returns its own (non-delegating) IUnknown holding one reference.
// Throws std::bad_alloc.
IUnknown* NewComObject(ObjectPtr<AutomationObject> object, IUnknown* outer);

// The interface by which the server recognises its own objects among the references that
// scripts pass in; its IID is private and never registered.
struct IOwnObject : IUnknown {
  virtual AutomationObject& Object() = 0;
};
extern const IID kIidOwnObject;

// Everything but the dual interface's own members, which ComObject<Interface> forwards.
class ComObjectCore : public ISupportErrorInfo, public IProvideClassInfo, public IOwnObject {
 public:
  ComObjectCore(const ComObjectCore&) = delete;
  ComObjectCore& operator=(const ComObjectCore&) = delete;

  AutomationObject& Object() override { return *object_; }
  IUnknown* Inner() { return &inner_; }
  // Adds a reference unless the object is already on its way out (count 0).
  bool TryAddRef();

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;

 protected:
  ComObjectCore(ObjectPtr<AutomationObject> object, IUnknown* outer);
  virtual ~ComObjectCore();

  // The dual interface (which is also the object's IDispatch).
  virtual IDispatch* Dual() = 0;
  IUnknown* Outer() const { return outer_; }

  HRESULT DispatchGetTypeInfo(UINT index, ITypeInfo** out);
  HRESULT DispatchGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT DispatchInvoke(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* arg_error);

 private:
  // The non-delegating IUnknown: the object's identity and its reference count.
  struct InnerUnknown final : IUnknown {
    explicit InnerUnknown(ComObjectCore& core) : core_(core) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    ComObjectCore& core_;
  };

  HRESULT Query(REFIID iid, void** out);

  ObjectPtr<AutomationObject> object_;
  InnerUnknown inner_;
  IUnknown* outer_;  // the aggregating object, or &inner_
  std::atomic<ULONG> references_{0};
};

// The COM object of a class whose dual interface is `Interface` (a widl-generated interface
// derived from IDispatch). The class for each interface adds one forwarding function per member:
//     STDMETHODIMP Open(VARIANT file) override { return Forward(0, file); }
template <class Interface>
class ComObject : public Interface, public ComObjectCore {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return Outer()->QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return Outer()->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return Outer()->Release(); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_INVALIDARG;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    return DispatchGetTypeInfo(index, out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispatchGetIDsOfNames(iid, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) override {
    return DispatchInvoke(id, iid, flags, params, result, exception, arg_error);
  }

  ComObject(ObjectPtr<AutomationObject> object, IUnknown* outer)
      : ComObjectCore(std::move(object), outer) {}

 protected:
  IDispatch* Dual() override { return this; }

  // Calls member number `member` of the interface (0 for the first after IDispatch's) with
  // the function's arguments: values for [in] parameters, pointers for [out] ones and the result.
  template <class... Args>
  HRESULT Forward(std::size_t member, Args... args) {
    ComCall call(Object(), member);
    (call.Add(args), ...);
    return call.Run();
  }
};

}  // namespace voziroz
