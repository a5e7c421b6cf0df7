#include "com/dual_vtables.h"

#include <cstddef>
#include <span>
#include <vector>

#include "automation/dispatch.h"
#include "automation/interface_slots.inc"
#include "automation/script_text.h"
#include "com/com_object.h"
#include "com/error_bridge.h"
#include "com/guard.h"
#include "com/runtime.h"
#include "com/value_bridge.h"
#include "engine/windows1252.h"

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
    if (a.kind == K::OutVariant) InitVariant(*static_cast<VARIANT*>(a.out));
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
      out = ScriptText(BstrView(a.bstr));
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
  return Guarded([&]() -> HRESULT {
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
    ClearThreadErrorInfo();
    if (!outcome.Succeeded()) return outcome.Status;
    for (std::size_t i = 0; i < values.size(); ++i) WriteOutput(args[i], values[i]);
    if (member->Result != TypeKind::Void) WriteOutput(args.back(), result);
    return S_OK;
  });
}

// Calls the member (id, kind) of the object behind `self` with the arguments of a slot.
template <class I, class... Args>
HRESULT CallSlotOf(I* self, DispId id, MemberKind kind, Args... args) {
  const SlotArgument described[] = {Describe(args)..., SlotArgument{}};
  return CallSlot(reinterpret_cast<IDispatch*>(self), id, kind,
                  std::span(described, sizeof...(Args)));
}

VOZ_SLOT_FUNCTIONS_IParser VOZ_SLOT_FUNCTIONS_ITable VOZ_SLOT_FUNCTIONS_IFTP
    VOZ_SLOT_FUNCTIONS_IQueue VOZ_SLOT_FUNCTIONS_IStack VOZ_SLOT_FUNCTIONS_IKeyList

    constexpr IParserVtbl kParserVtbl = {VOZ_DISPATCH_SLOTS(IParser), VOZ_SLOTS_IParser};
constexpr ITableVtbl kTableVtbl = {VOZ_DISPATCH_SLOTS(ITable), VOZ_SLOTS_ITable};
constexpr IFTPVtbl kFtpVtbl = {VOZ_DISPATCH_SLOTS(IFTP), VOZ_SLOTS_IFTP};
constexpr IQueueVtbl kQueueVtbl = {VOZ_DISPATCH_SLOTS(IQueue), VOZ_SLOTS_IQueue};
constexpr IStackVtbl kStackVtbl = {VOZ_DISPATCH_SLOTS(IStack), VOZ_SLOTS_IStack};
constexpr IKeyListVtbl kKeyListVtbl = {VOZ_DISPATCH_SLOTS(IKeyList), VOZ_SLOTS_IKeyList};

// The C declarations of the function tables have exactly the described slots.
VOZ_CHECK_VTABLES

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
