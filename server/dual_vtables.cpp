#include "server/dual_vtables.h"

#include <span>
#include <vector>

#include "automation/dispatch.h"
#include "engine/windows1252.h"
#include "server/com_object.h"
#include "server/error_bridge.h"
#include "server/variant_bridge.h"
#include "vozcom/c_boundary.h"

namespace voziroz {
namespace {

// One argument of a call through a function table, by its C type.
struct SlotArgument {
  enum class Kind {
    Variant,
    I4,
    Bool,
    Bstr,
    Parser,
    OutI4,
    OutBool,
    OutBstr,
    OutVariant,
    OutArray
  };
  Kind kind = Kind::Variant;
  const VARIANT* variant = nullptr;
  LONG i4 = 0;
  VARIANT_BOOL boolean = 0;
  BSTR bstr = nullptr;
  IParser* parser = nullptr;
  void* out = nullptr;
};

using K = SlotArgument::Kind;

SlotArgument Describe(const VARIANT& v) {
  return {.kind = K::Variant, .variant = &v};
}
SlotArgument Describe(LONG v) {
  return {.kind = K::I4, .i4 = v};
}
SlotArgument Describe(VARIANT_BOOL v) {
  return {.kind = K::Bool, .boolean = v};
}
SlotArgument Describe(BSTR v) {
  return {.kind = K::Bstr, .bstr = v};
}
SlotArgument Describe(IParser* v) {
  return {.kind = K::Parser, .parser = v};
}
SlotArgument Describe(LONG* v) {
  return {.kind = K::OutI4, .out = v};
}
SlotArgument Describe(VARIANT_BOOL* v) {
  return {.kind = K::OutBool, .out = v};
}
SlotArgument Describe(BSTR* v) {
  return {.kind = K::OutBstr, .out = v};
}
SlotArgument Describe(VARIANT* v) {
  return {.kind = K::OutVariant, .out = v};
}
SlotArgument Describe(SAFEARRAY** v) {
  return {.kind = K::OutArray, .out = v};
}

// The C type that carries a parameter or result of `type`, in or out.
K KindOf(TypeKind type, bool out) {
  switch (type) {
    case TypeKind::I4:
      return out ? K::OutI4 : K::I4;
    case TypeKind::Bool:
      return out ? K::OutBool : K::Bool;
    case TypeKind::Bstr:
      return out ? K::OutBstr : K::Bstr;
    case TypeKind::VariantArray:
      return K::OutArray;
    case TypeKind::IParser:
      return K::Parser;
    case TypeKind::Variant:
    case TypeKind::Void:
      break;
  }
  return out ? K::OutVariant : K::Variant;
}

bool IsOut(K kind) {
  return kind >= K::OutI4;
}

// The function-table shape matches the member: one argument per parameter and the result.
bool Matches(const MemberInfo& member, std::span<const SlotArgument> args) {
  const std::size_t results = member.Result == TypeKind::Void ? 0 : 1;
  if (args.size() != member.Params.size() + results) return false;
  for (std::size_t i = 0; i < member.Params.size(); ++i)
    if (args[i].kind != KindOf(member.Params[i].Type, member.Params[i].Out)) return false;
  return results == 0 || args.back().kind == KindOf(member.Result, true);
}

// Empties every output, as the standard requires of a function that may fail.
void ClearOutputs(std::span<const SlotArgument> args) {
  for (const SlotArgument& a : args) {
    if (!a.out) continue;
    if (a.kind == K::OutBstr) *static_cast<BSTR*>(a.out) = nullptr;
    if (a.kind == K::OutVariant) vz_variant_init(static_cast<VARIANT*>(a.out));
    if (a.kind == K::OutArray) *static_cast<SAFEARRAY**>(a.out) = nullptr;
  }
}

HRESULT ToValue(const SlotArgument& a, Variant& out) {
  switch (a.kind) {
    case K::Variant:
      return FromVariant(*a.variant, out);
    case K::I4:
      out = Variant::I4(a.i4);
      return S_OK;
    case K::Bool:
      out = Variant::Bool(a.boolean != 0);
      return S_OK;
    case K::Bstr:
      out = Variant::Text(Utf16ToAnsi(BstrView(a.bstr)));
      return S_OK;
    case K::Parser: {
      VARIANT object{};
      object.vt = VT_DISPATCH;
      object.pdispVal = reinterpret_cast<IDispatch*>(a.parser);
      return FromVariant(object, out);
    }
    default:
      return S_OK;  // outputs carry nothing in
  }
}

void WriteOutput(const SlotArgument& a, const Variant& value) {
  switch (a.kind) {
    case K::OutI4:
      *static_cast<LONG*>(a.out) = ToInt32(value);
      return;
    case K::OutBool:
      *static_cast<VARIANT_BOOL*>(a.out) = ToBool(value) ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case K::OutBstr:
      *static_cast<BSTR*>(a.out) = NewBstr(AnsiToUtf16(ToText(value)));
      return;
    case K::OutVariant:
      ToVariant(value, *static_cast<VARIANT*>(a.out));
      return;
    case K::OutArray:
      *static_cast<SAFEARRAY**>(a.out) = ToSafeArray(value);
      return;
    default:
      return;
  }
}

const MemberInfo* MemberOf(const InterfaceInfo& iface, DispId id, MemberKind kind) {
  for (const MemberInfo& m : iface.Members)
    if (m.Id == id && m.Kind == kind) return &m;
  return nullptr;
}

HRESULT CallSlot(IDispatch* self, DispId id, MemberKind kind, std::span<const SlotArgument> args) {
  for (const SlotArgument& a : args)
    if (IsOut(a.kind) && !a.out) return E_POINTER;
  ClearOutputs(args);
  return Guarded("Voziroz", [&]() -> HRESULT {
    AutomationObject& object = ComObject::Of(self).Object();
    const MemberInfo* member = MemberOf(*object.Class().Interface, id, kind);
    if (!member || !Matches(*member, args)) return E_UNEXPECTED;
    std::vector<Variant> values(member->Params.size());
    for (std::size_t i = 0; i < values.size(); ++i)
      if (const HRESULT hr = ToValue(args[i], values[i]); FAILED(hr)) return hr;
    Variant result;
    const InvokeOutcome outcome = Invoke(object, id, InvokeFlagOf(kind), values, result);
    if (outcome.Status == kDispException) {
      SetErrorInfoOf(outcome.Error);
      return outcome.Error.Number;
    }
    vz_set_error_info(0, nullptr);
    if (!outcome.Succeeded()) return outcome.Status;
    for (std::size_t i = 0; i < values.size(); ++i) WriteOutput(args[i], values[i]);
    if (member->Result != TypeKind::Void) WriteOutput(args.back(), result);
    return S_OK;
  });
}

// The function of a table slot for the member (kId, kKind): its C signature comes from the
// table's field, so each slot converts exactly the arguments it receives.
template <DispId kId, MemberKind kKind, class Function>
struct Slot;

template <DispId kId, MemberKind kKind, class I, class... Args>
struct Slot<kId, kKind, HRESULT (*)(I*, Args...)> {
  static HRESULT Call(I* self, Args... args) {
    const SlotArgument described[] = {Describe(args)..., SlotArgument{}};
    return CallSlot(reinterpret_cast<IDispatch*>(self), kId, kKind,
                    std::span(described, sizeof...(Args)));
  }
};

#define VOZ_SLOT(Vtbl, field, id, kind) \
  .field = Slot<id, MemberKind::kind, decltype(Vtbl::field)>::Call

constexpr IParserVtbl kParserVtbl = {
    VOZ_DISPATCH_SLOTS(IParser),
    VOZ_SLOT(IParserVtbl, Open, 201, Method),
    VOZ_SLOT(IParserVtbl, Execute, 202, Method),
    VOZ_SLOT(IParserVtbl, Close, 204, Method),
    VOZ_SLOT(IParserVtbl, get_IsOpen, 205, PropertyGet),
    VOZ_SLOT(IParserVtbl, get_DataLink, 206, PropertyGet),
    VOZ_SLOT(IParserVtbl, GetTable, 207, Method),
    VOZ_SLOT(IParserVtbl, get_TableNames, 208, PropertyGet),
    VOZ_SLOT(IParserVtbl, get_Line, 209, PropertyGet),
    VOZ_SLOT(IParserVtbl, get_LineCount, 210, PropertyGet),
    VOZ_SLOT(IParserVtbl, Metadata, 203, Method),
    VOZ_SLOT(IParserVtbl, get_GetAncestors, 211, PropertyGet),
    VOZ_SLOT(IParserVtbl, Thumbnail, 212, Method),
};

constexpr ITableVtbl kTableVtbl = {
    VOZ_DISPATCH_SLOTS(ITable),
    VOZ_SLOT(ITableVtbl, get_RowCount, 201, PropertyGet),
    VOZ_SLOT(ITableVtbl, get_ColCount, 202, PropertyGet),
    VOZ_SLOT(ITableVtbl, get_ColNames, 203, PropertyGet),
    VOZ_SLOT(ITableVtbl, get_Row, 204, PropertyGet),
    VOZ_SLOT(ITableVtbl, get_IsOpen, 205, PropertyGet),
    VOZ_SLOT(ITableVtbl, Open, 206, Method),
    VOZ_SLOT(ITableVtbl, FindRow, 207, Method),
    VOZ_SLOT(ITableVtbl, Close, 208, Method),
    VOZ_SLOT(ITableVtbl, get_KeyColname, 209, PropertyGet),
};

constexpr IFTPVtbl kFtpVtbl = {
    VOZ_DISPATCH_SLOTS(IFTP),
    VOZ_SLOT(IFTPVtbl, Connect, 201, Method),
    VOZ_SLOT(IFTPVtbl, Disconnect, 202, Method),
    VOZ_SLOT(IFTPVtbl, CreateFolder, 203, Method),
    VOZ_SLOT(IFTPVtbl, RemoveFolder, 204, Method),
    VOZ_SLOT(IFTPVtbl, ChangeFolder, 205, Method),
    VOZ_SLOT(IFTPVtbl, FileExists, 206, Method),
    VOZ_SLOT(IFTPVtbl, DeleteFile, 207, Method),
    VOZ_SLOT(IFTPVtbl, RenameFile, 208, Method),
    VOZ_SLOT(IFTPVtbl, PutFile, 209, Method),
    VOZ_SLOT(IFTPVtbl, GetFile, 210, Method),
    VOZ_SLOT(IFTPVtbl, ListFiles, 211, Method),
    VOZ_SLOT(IFTPVtbl, CurrentFolder, 212, Method),
    VOZ_SLOT(IFTPVtbl, PutText, 213, Method),
    VOZ_SLOT(IFTPVtbl, get_IsConnected, 214, PropertyGet),
};

constexpr IQueueVtbl kQueueVtbl = {
    VOZ_DISPATCH_SLOTS(IQueue),
    VOZ_SLOT(IQueueVtbl, Init, 201, Method),
    VOZ_SLOT(IQueueVtbl, Put, 202, Method),
    VOZ_SLOT(IQueueVtbl, Get, 203, Method),
    VOZ_SLOT(IQueueVtbl, Clear, 204, Method),
    VOZ_SLOT(IQueueVtbl, get_Length, 205, PropertyGet),
};

constexpr IStackVtbl kStackVtbl = {
    VOZ_DISPATCH_SLOTS(IStack),
    VOZ_SLOT(IStackVtbl, Init, 201, Method),
    VOZ_SLOT(IStackVtbl, Put, 202, Method),
    VOZ_SLOT(IStackVtbl, Get, 203, Method),
    VOZ_SLOT(IStackVtbl, Clear, 204, Method),
    VOZ_SLOT(IStackVtbl, get_Height, 205, PropertyGet),
};

constexpr IKeyListVtbl kKeyListVtbl = {
    VOZ_DISPATCH_SLOTS(IKeyList),
    VOZ_SLOT(IKeyListVtbl, Add, 201, Method),
    VOZ_SLOT(IKeyListVtbl, ByIndex, 203, Method),
    VOZ_SLOT(IKeyListVtbl, get_Item, 202, PropertyGet),
    VOZ_SLOT(IKeyListVtbl, put_Item, 202, PropertyPut),
    VOZ_SLOT(IKeyListVtbl, get_Count, 204, PropertyGet),
    VOZ_SLOT(IKeyListVtbl, get_Capacity, 205, PropertyGet),
    VOZ_SLOT(IKeyListVtbl, put_Capacity, 205, PropertyPut),
    VOZ_SLOT(IKeyListVtbl, Init, 206, Method),
    VOZ_SLOT(IKeyListVtbl, Delete, 207, Method),
    VOZ_SLOT(IKeyListVtbl, Clear, 208, Method),
    VOZ_SLOT(IKeyListVtbl, Exists, 209, Method),
    VOZ_SLOT(IKeyListVtbl, Items, 210, Method),
    VOZ_SLOT(IKeyListVtbl, Keys, 211, Method),
};

struct DualTable {
  const InterfaceInfo* iface;
  const void* vtable;
};

const DualTable kDualTables[] = {
    {&kParserInterface, &kParserVtbl}, {&kTableInterface, &kTableVtbl},
    {&kFtpInterface, &kFtpVtbl},       {&kQueueInterface, &kQueueVtbl},
    {&kStackInterface, &kStackVtbl},   {&kKeyListInterface, &kKeyListVtbl},
};

}  // namespace

WORD InvokeFlagOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::PropertyGet:
      return kInvokePropertyGet;
    case MemberKind::PropertyPut:
      return kInvokePropertyPut;
    case MemberKind::Method:
      break;
  }
  return kInvokeMethod;
}

const void* DualVtableOf(const InterfaceInfo& iface) {
  for (const DualTable& t : kDualTables)
    if (t.iface == &iface) return t.vtable;
  return nullptr;
}

bool IsDualVtable(const void* vtable) {
  for (const DualTable& t : kDualTables)
    if (t.vtable == vtable) return true;
  return false;
}

}  // namespace voziroz
