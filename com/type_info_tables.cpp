// The type-information seam on Linux: one ITypeInfo per dispatch interface (TKIND_DISPATCH, its
// members as FUNC_DISPATCH functions) and one per coclass (TKIND_COCLASS, its one default
// interface), made from the interface tables. They live as long as the library; their references
// keep it loaded.
#include <cstdlib>
#include <deque>
#include <new>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "automation/server_lifetime.h"
#include "com/com_object.h"
#include "com/dispatch_bridge.h"
#include "com/dual_vtables.h"
#include "com/guard.h"
#include "com/guids.h"
#include "com/runtime.h"
#include "com/type_info.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

struct TypeInfoObject : ITypeInfo {
  const InterfaceInfo* Interface = nullptr;  // for an interface's type information
  const ClassInfo* Class = nullptr;          // for a coclass's
  LibraryReference References;
};

TypeInfoObject& Self(ITypeInfo* face) {
  return *static_cast<TypeInfoObject*>(face);
}

// The reference of a coclass's interface, and of the IParser parameter: the class's index.
HREFTYPE ReferenceOf(const InterfaceInfo& iface) {
  for (std::size_t i = 0; i < kTypeLibrary.Classes.size(); ++i)
    if (kTypeLibrary.Classes[i].Interface == &iface) return static_cast<HREFTYPE>(i);
  return 0;
}

constexpr TYPEDESC kVariantType{{.hreftype = 0}, VT_VARIANT};
constexpr TYPEDESC kBstrType{{.hreftype = 0}, VT_BSTR};
const TYPEDESC kParserType{{.hreftype = ReferenceOf(kParserInterface)}, VT_USERDEFINED};

TYPEDESC TypeDescOf(TypeKind type) {
  switch (type) {
    case TypeKind::Void:
      return {{.hreftype = 0}, VT_VOID};
    case TypeKind::Variant:
      return {{.hreftype = 0}, VT_VARIANT};
    case TypeKind::I4:
      return {{.hreftype = 0}, VT_I4};
    case TypeKind::Bool:
      return {{.hreftype = 0}, VT_BOOL};
    case TypeKind::Bstr:
      return {{.hreftype = 0}, VT_BSTR};
    case TypeKind::VariantArray:
      return {{.lptdesc = &kVariantType}, VT_SAFEARRAY};
    case TypeKind::IParser:
      return {{.lptdesc = &kParserType}, VT_PTR};
  }
  return {{.hreftype = 0}, VT_EMPTY};
}

ELEMDESC ParamDescOf(const ParamInfo& param) {
  ELEMDESC desc{};
  desc.tdesc = TypeDescOf(param.Type);
  if (param.Out)
    desc.tdesc = {{.lptdesc = param.Type == TypeKind::Bstr ? &kBstrType : &kVariantType}, VT_PTR};
  desc.paramdesc.wParamFlags = static_cast<USHORT>((param.Out ? PARAMFLAG_FOUT : PARAMFLAG_FIN) |
                                                   (param.Optional ? PARAMFLAG_FOPT : 0));
  return desc;
}

// The first member with the DISPID, or null.
const MemberInfo* MemberWithId(const TypeInfoObject& self, MEMBERID id) {
  if (!self.Interface) return nullptr;
  for (const MemberInfo& m : self.Interface->Members)
    if (m.Id == id) return &m;
  return nullptr;
}

BSTR NewText(std::string_view ansi) {
  return NewBstr(AnsiToUtf16(ansi));
}

HRESULT QueryInterface(ITypeInfo* face, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!SameGuid(iid, IID_IUnknown) && !SameGuid(iid, IID_ITypeInfo)) return E_NOINTERFACE;
  face->lpVtbl->AddRef(face);
  *out = face;
  return S_OK;
}

ULONG AddRef(ITypeInfo* face) {
  return Self(face).References.AddRef();
}

ULONG Release(ITypeInfo* face) {
  return Self(face).References.Release();
}

HRESULT GetTypeAttr(ITypeInfo* face, TYPEATTR** out) {
  if (!out) return E_POINTER;
  const TypeInfoObject& self = Self(face);
  auto* attr = static_cast<TYPEATTR*>(std::calloc(1, sizeof(TYPEATTR)));
  if (!(*out = attr)) return E_OUTOFMEMORY;
  attr->lcid = kTypeLibrary.Locale;
  attr->memidConstructor = attr->memidDestructor = MEMBERID_NIL;
  attr->cbAlignment = alignof(void*);
  attr->wMajorVerNum = kTypeLibrary.MajorVersion;
  attr->wMinorVerNum = kTypeLibrary.MinorVersion;
  if (self.Class) {
    attr->guid = ToCGuid(self.Class->Clsid);
    attr->typekind = TKIND_COCLASS;
    attr->cImplTypes = 1;
    attr->wTypeFlags = TYPEFLAG_FCANCREATE;
    return S_OK;
  }
  attr->guid = ToCGuid(self.Interface->Iid);
  attr->typekind = TKIND_DISPATCH;
  attr->cFuncs = static_cast<WORD>(self.Interface->Members.size());
  attr->cbSizeVft =
      static_cast<WORD>((kFirstMemberSlot + self.Interface->Members.size()) * sizeof(void*));
  // The dispatch half of a dual interface, flagged as a compiled type library flags it (the
  // oleautomation flag belongs to the function-table half).
  attr->wTypeFlags =
      TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE | (self.Interface->Hidden ? TYPEFLAG_FHIDDEN : 0);
  return S_OK;
}

HRESULT GetFuncDesc(ITypeInfo* face, UINT index, FUNCDESC** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const TypeInfoObject& self = Self(face);
  if (!self.Interface || index >= self.Interface->Members.size()) return TYPE_E_ELEMENTNOTFOUND;
  const MemberInfo& member = self.Interface->Members[index];
  // One block: the FUNCDESC, then its parameters.
  auto* desc = static_cast<FUNCDESC*>(
      std::calloc(1, sizeof(FUNCDESC) + member.Params.size() * sizeof(ELEMDESC)));
  if (!desc) return E_OUTOFMEMORY;
  auto* params = reinterpret_cast<ELEMDESC*>(desc + 1);
  for (std::size_t i = 0; i < member.Params.size(); ++i) params[i] = ParamDescOf(member.Params[i]);
  desc->memid = member.Id;
  desc->lprgelemdescParam = member.Params.empty() ? nullptr : params;
  desc->funckind = FUNC_DISPATCH;
  desc->invkind = static_cast<INVOKEKIND>(InvokeFlagOf(member.Kind));  // the same numbers
  desc->callconv = CC_STDCALL;
  desc->cParams = static_cast<SHORT>(member.Params.size());
  desc->oVft = static_cast<SHORT>((kFirstMemberSlot + index) * sizeof(void*));
  desc->elemdescFunc.tdesc = TypeDescOf(member.Result);
  desc->wFuncFlags = member.Hidden ? FUNCFLAG_FHIDDEN : 0;
  *out = desc;
  return S_OK;
}

HRESULT GetNames(ITypeInfo* face, MEMBERID id, BSTR* names, UINT max_names, UINT* count) {
  if (!names || !count) return E_POINTER;
  *count = 0;
  const MemberInfo* member = MemberWithId(Self(face), id);
  if (!member) return TYPE_E_ELEMENTNOTFOUND;
  return Guarded([&]() -> HRESULT {
    std::vector<std::string_view> all = {member->Name};
    for (const ParamInfo& p : member->Params) all.push_back(p.Name);
    for (UINT i = 0; i < max_names && i < all.size(); ++i) {
      names[i] = NewText(all[i]);
      *count = i + 1;
    }
    return S_OK;
  });
}

HRESULT GetRefTypeOfImplType(ITypeInfo* face, UINT index, HREFTYPE* out) {
  if (!out) return E_POINTER;
  const TypeInfoObject& self = Self(face);
  if (!self.Class || index != 0) return TYPE_E_ELEMENTNOTFOUND;
  *out = ReferenceOf(*self.Class->Interface);
  return S_OK;
}

HRESULT GetImplTypeFlags(ITypeInfo* face, UINT index, INT* flags) {
  if (!flags) return E_POINTER;
  if (!Self(face).Class || index != 0) return TYPE_E_ELEMENTNOTFOUND;
  *flags = IMPLTYPEFLAG_FDEFAULT;
  return S_OK;
}

HRESULT GetIDsOfNames(ITypeInfo* face, LPOLESTR* names, UINT count, MEMBERID* ids) {
  const TypeInfoObject& self = Self(face);
  if (!self.Interface) return DISP_E_UNKNOWNNAME;
  return GetIDsOfNamesOf(*self.Interface, names, count, ids);
}

HRESULT Invoke(ITypeInfo* face, void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  AutomationObject* object = ComObject::ObjectBehind(static_cast<IUnknown*>(instance));
  if (!object || object->Class().Interface != Self(face).Interface) return E_INVALIDARG;
  return InvokeOf(*object, id, &IID_NULL, flags, params, result, exception, argument_error);
}

HRESULT GetDocumentation(ITypeInfo* face, MEMBERID id, BSTR* name, BSTR* doc, DWORD* context,
                         BSTR* help_file) {
  const TypeInfoObject& self = Self(face);
  std::string_view found_name;
  std::string_view found_doc;
  if (id == MEMBERID_NIL) {
    found_name = self.Class ? self.Class->Name : self.Interface->Name;
    found_doc = self.Class ? self.Class->HelpString : self.Interface->HelpString;
  } else if (const MemberInfo* member = MemberWithId(self, id)) {
    found_name = member->Name;
    found_doc = member->HelpString;
  } else {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  if (context) *context = 0;
  if (help_file) *help_file = nullptr;
  if (name) *name = nullptr;
  if (doc) *doc = nullptr;
  return Guarded([&]() -> HRESULT {
    if (name) *name = NewText(found_name);
    if (doc) *doc = NewText(found_doc);
    return S_OK;
  });
}

HRESULT GetRefTypeInfo(ITypeInfo*, HREFTYPE reference, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (reference >= kTypeLibrary.Classes.size()) return TYPE_E_ELEMENTNOTFOUND;
  return InterfaceTypeInfo(*kTypeLibrary.Classes[reference].Interface, out);
}

void ReleaseMemory(ITypeInfo*, void* memory) {
  std::free(memory);
}

// The functions no caller of this library needs.
template <class... Args>
HRESULT NotImplemented(ITypeInfo*, Args...) {
  return E_NOTIMPL;
}

constexpr ITypeInfoVtbl kTypeInfoVtbl = {
    .QueryInterface = QueryInterface,
    .AddRef = AddRef,
    .Release = Release,
    .GetTypeAttr = GetTypeAttr,
    .GetTypeComp = NotImplemented<ITypeComp**>,
    .GetFuncDesc = GetFuncDesc,
    .GetVarDesc = NotImplemented<UINT, void**>,
    .GetNames = GetNames,
    .GetRefTypeOfImplType = GetRefTypeOfImplType,
    .GetImplTypeFlags = GetImplTypeFlags,
    .GetIDsOfNames = GetIDsOfNames,
    .Invoke = Invoke,
    .GetDocumentation = GetDocumentation,
    .GetDllEntry = NotImplemented<MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*>,
    .GetRefTypeInfo = GetRefTypeInfo,
    .AddressOfMember = NotImplemented<MEMBERID, INVOKEKIND, void**>,
    .CreateInstance = NotImplemented<IUnknown*, REFIID, void**>,
    .GetMops = NotImplemented<MEMBERID, BSTR*>,
    .GetContainingTypeLib = NotImplemented<ITypeLib**, UINT*>,
    .ReleaseTypeAttr = [](ITypeInfo* self, TYPEATTR* attr) { ReleaseMemory(self, attr); },
    .ReleaseFuncDesc = [](ITypeInfo* self, FUNCDESC* desc) { ReleaseMemory(self, desc); },
    .ReleaseVarDesc = [](ITypeInfo*, void*) {},
};

// Twelve objects, one per interface then one per class, in the type library's order; made when
// the library loads, so that handing one out never allocates.
std::deque<TypeInfoObject>& TypeInfos() {
  static std::deque<TypeInfoObject> infos = [] {
    std::deque<TypeInfoObject> made(2 * kTypeLibrary.Classes.size());
    for (std::size_t i = 0; i < kTypeLibrary.Classes.size(); ++i) {
      made[i].lpVtbl = made[i + kTypeLibrary.Classes.size()].lpVtbl = &kTypeInfoVtbl;
      made[i].Interface = kTypeLibrary.Classes[i].Interface;
      made[i + kTypeLibrary.Classes.size()].Class = &kTypeLibrary.Classes[i];
    }
    return made;
  }();
  return infos;
}

[[maybe_unused]] const bool kMadeAtLoad = (TypeInfos(), true);

HRESULT WithReference(TypeInfoObject& info, ITypeInfo** out) {
  if (!out) return E_POINTER;
  info.References.AddRef();
  *out = &info;
  return S_OK;
}

}  // namespace

HRESULT InterfaceTypeInfo(const InterfaceInfo& iface, ITypeInfo** out) {
  return WithReference(TypeInfos()[ReferenceOf(iface)], out);
}

HRESULT ClassTypeInfo(const ClassInfo& cls, ITypeInfo** out) {
  return WithReference(TypeInfos()[kTypeLibrary.Classes.size() + ReferenceOf(*cls.Interface)], out);
}

}  // namespace voziroz
