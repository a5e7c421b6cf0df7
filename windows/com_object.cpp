#include "windows/com_object.h"

#include <mutex>
#include <unordered_map>

#include "windows/com_guid.h"
#include "windows/foreign_object.h"
#include "windows/type_library.h"

namespace voziroz {

// {89FAE9C6-DA5A-4090-9E29-68D074C702E1}
const IID kIidOwnObject = {
    0x89fae9c6, 0xda5a, 0x4090, {0x9e, 0x29, 0x68, 0xd0, 0x74, 0xc7, 0x02, 0xe1}};

namespace {

// The COM object of each shared object that has a non-aggregated one, so that the same shared
// object always goes out as the same reference.
struct Identities {
  std::mutex Lock;
  std::unordered_map<const AutomationObject*, ComObjectCore*> Objects;
};

Identities& TheIdentities() {
  static Identities identities;
  return identities;
}

// The live COM object of `object` with one more reference, or null.
IUnknown* ExistingComObject(const AutomationObject& object) {
  Identities& identities = TheIdentities();
  std::lock_guard<std::mutex> hold(identities.Lock);
  const auto found = identities.Objects.find(&object);
  if (found == identities.Objects.end() || !found->second->TryAddRef()) return nullptr;
  return found->second->Inner();
}

HRESULT ForeignReference(const ForeignObject& object, VARIANT& out) {
  IDispatch* dispatch = nullptr;
  if (SUCCEEDED(object.Get()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = dispatch;
    return S_OK;
  }
  object.Get()->AddRef();
  V_VT(&out) = VT_UNKNOWN;
  V_UNKNOWN(&out) = object.Get();
  return S_OK;
}

}  // namespace

ObjectPtr<AutomationObject> AdoptComObject(IUnknown* object) {
  IOwnObject* own = nullptr;
  if (SUCCEEDED(object->QueryInterface(kIidOwnObject, reinterpret_cast<void**>(&own)))) {
    ObjectPtr<AutomationObject> shared(&own->Object());
    own->Release();
    return shared;
  }
  return MakeObject<ForeignObject>(object);
}

HRESULT ComReferenceTo(const ObjectPtr<AutomationObject>& object, VARIANT& out) {
  if (const auto* foreign = dynamic_cast<const ForeignObject*>(object.get()))
    return ForeignReference(*foreign, out);
  IUnknown* inner = ExistingComObject(*object);
  try {
    if (!inner) inner = NewComObject(object, nullptr);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  IDispatch* dispatch = nullptr;
  const HRESULT status = inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  inner->Release();
  if (SUCCEEDED(status)) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = dispatch;
  }
  return status;
}

ComObjectCore::ComObjectCore(ObjectPtr<AutomationObject> object, IUnknown* outer)
    : object_(std::move(object)), inner_(*this), outer_(outer ? outer : &inner_) {
  if (outer) return;
  Identities& identities = TheIdentities();
  std::lock_guard<std::mutex> hold(identities.Lock);
  identities.Objects[object_.get()] = this;
}

ComObjectCore::~ComObjectCore() {
  Identities& identities = TheIdentities();
  std::lock_guard<std::mutex> hold(identities.Lock);
  const auto found = identities.Objects.find(object_.get());
  if (found != identities.Objects.end() && found->second == this) identities.Objects.erase(found);
}

bool ComObjectCore::TryAddRef() {
  ULONG count = references_.load();
  while (count != 0)
    if (references_.compare_exchange_weak(count, count + 1)) return true;
  return false;
}

HRESULT ComObjectCore::Query(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown))
    *out = &inner_;
  else if (IsEqualIID(iid, IID_IDispatch) || SameGuid(iid, object_->Class().Interface->Iid))
    *out = Dual();
  else if (IsEqualIID(iid, IID_ISupportErrorInfo))
    *out = static_cast<ISupportErrorInfo*>(this);
  else if (IsEqualIID(iid, IID_IProvideClassInfo))
    *out = static_cast<IProvideClassInfo*>(this);
  else if (IsEqualIID(iid, kIidOwnObject))
    *out = static_cast<IOwnObject*>(this);
  else
    return E_NOINTERFACE;
  reinterpret_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

HRESULT ComObjectCore::InnerUnknown::QueryInterface(REFIID iid, void** out) {
  return core_.Query(iid, out);
}

ULONG ComObjectCore::InnerUnknown::AddRef() {
  return ++core_.references_;
}

ULONG ComObjectCore::InnerUnknown::Release() {
  const ULONG left = --core_.references_;
  if (left == 0) delete &core_;
  return left;
}

HRESULT ComObjectCore::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID_IDispatch) || SameGuid(iid, object_->Class().Interface->Iid) ? S_OK
                                                                                          : S_FALSE;
}

HRESULT ComObjectCore::GetClassInfo(ITypeInfo** out) {
  return TypeInfoOf(object_->Class().Clsid, out);
}

HRESULT ComObjectCore::DispatchGetTypeInfo(UINT index, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return TypeInfoOf(object_->Class().Interface->Iid, out);
}

}  // namespace voziroz
