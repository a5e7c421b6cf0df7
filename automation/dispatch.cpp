#include "automation/dispatch.h"

#include <stdexcept>
#include <string>

#include "engine/ansi_case.h"

namespace voziroz {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AnsiUpperCase(a) == AnsiUpperCase(b);
}

Conversion Convert(const Variant& value, TypeKind type, Variant& out) {
  switch (type) {
    case TypeKind::Variant:
      out = value;
      return Conversion::Ok;
    case TypeKind::I4: {
      std::int32_t number = 0;
      const Conversion result = TryToInt32(value, number);
      out = Variant::I4(number);
      return result;
    }
    case TypeKind::Bool: {
      bool flag = false;
      const Conversion result = TryToBool(value, flag);
      out = Variant::Bool(flag);
      return result;
    }
    case TypeKind::Bstr: {
      std::string text;
      const Conversion result = TryToText(value, text);
      out = Variant::Text(std::move(text));
      return result;
    }
    case TypeKind::VariantArray:
      out = value;
      return value.Kind() == VariantKind::Array || value.Kind() == VariantKind::NullArray
                 ? Conversion::Ok
                 : Conversion::TypeMismatch;
    case TypeKind::IParser:
      out = value;
      return value.Kind() == VariantKind::Object &&
                     value.AsObject()->Class().Interface == &kParserInterface
                 ? Conversion::Ok
                 : Conversion::TypeMismatch;
    case TypeKind::Void:
      return Conversion::TypeMismatch;
  }
  return Conversion::TypeMismatch;
}

// What an [out] parameter holds before the member writes it.
Variant OutDefault(TypeKind type) {
  Variant initial;
  Convert(Variant(), type, initial);
  return initial;
}

// Fills `params` with one converted value per declared parameter, or says why it cannot.
InvokeOutcome ConvertArguments(const MemberInfo& member, std::span<const Variant> args,
                               std::vector<Variant>& params) {
  std::size_t required = 0;
  for (const ParamInfo& p : member.Params) required += p.Optional ? 0 : 1;
  if (args.size() < required || args.size() > member.Params.size())
    return InvokeOutcome::Refusal(kDispBadParamCount);
  params.resize(member.Params.size(), Variant::Error(kParamNotFound));
  for (std::size_t i = 0; i < args.size(); ++i) {
    const ParamInfo& p = member.Params[i];
    if (p.Out) {
      params[i] = OutDefault(p.Type);
      continue;
    }
    const Conversion result = Convert(args[i], p.Type, params[i]);
    if (result != Conversion::Ok)
      return InvokeOutcome::Refusal(
          result == Conversion::Overflow ? kDispOverflow : kDispTypeMismatch,
          static_cast<std::int32_t>(i));
  }
  return InvokeOutcome();
}

// Runs the member inside the guard: whatever it throws becomes the outcome's error information.
InvokeOutcome RunGuarded(AutomationObject& object, const MemberInfo& member,
                         std::vector<Variant>& params, Variant& result) {
  const MemberTable& table = object.Members();
  const std::size_t index = static_cast<std::size_t>(&member - table.Interface().Members.data());
  InvokeOutcome outcome;
  try {
    const MemberHandler* handler = table.HandlerAt(index);
    if (!handler)
      throw AutomationError("The member " + std::string(member.Name) + " is not implemented",
                            kNotImplemented);
    Variant value = (*handler)(object, params);
    if (member.Result != TypeKind::Void) result = std::move(value);
  } catch (...) {
    outcome.Status = kDispException;
    outcome.Error = ErrorInfoFrom(std::current_exception(), table.Class().ProgId);
  }
  return outcome;
}

}  // namespace

MemberTable::MemberTable(const ClassInfo& cls)
    : class_(&cls), handlers_(cls.Interface->Members.size()) {}

const MemberHandler* MemberTable::HandlerAt(std::size_t index) const {
  return index < handlers_.size() && handlers_[index] ? &handlers_[index] : nullptr;
}

void MemberTable::Bind(std::string_view name, MemberKind kind, MemberHandler handler) {
  const auto members = Interface().Members;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members[i].Name != name || members[i].Kind != kind) continue;
    if (handlers_[i]) throw std::logic_error("second handler for " + std::string(name));
    handlers_[i] = std::move(handler);
    return;
  }
  throw std::logic_error(std::string(Interface().Name) + " has no member " + std::string(name));
}

const MemberInfo* FindInvokedMember(const InterfaceInfo& iface, DispId id, std::uint16_t flags) {
  const MemberInfo* method = nullptr;
  const MemberInfo* get = nullptr;
  const MemberInfo* put = nullptr;
  for (const MemberInfo& m : iface.Members) {
    if (m.Id != id) continue;
    if (m.Kind == MemberKind::Method) method = &m;
    if (m.Kind == MemberKind::PropertyGet) get = &m;
    if (m.Kind == MemberKind::PropertyPut) put = &m;
  }
  if (flags & (kInvokePropertyPut | kInvokePropertyPutRef)) return put;
  if ((flags & kInvokeMethod) && method) return method;
  if (flags & (kInvokeMethod | kInvokePropertyGet)) return get;
  return nullptr;
}

HResult GetIDsOfNames(const InterfaceInfo& iface, std::span<const std::string_view> names,
                      std::span<DispId> ids) {
  HResult status = kOk;
  const MemberInfo* member = nullptr;
  for (const MemberInfo& m : iface.Members) {
    if (!names.empty() && SameName(m.Name, names[0])) {
      member = &m;
      break;
    }
  }
  for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
    ids[i] = kDispIdUnknown;
    if (member && i == 0) ids[i] = member->Id;
    for (std::size_t p = 0; member && i > 0 && p < member->Params.size(); ++p)
      if (SameName(member->Params[p].Name, names[i])) ids[i] = static_cast<DispId>(p);
    if (ids[i] == kDispIdUnknown) status = kDispUnknownName;
  }
  return status;
}

InvokeOutcome Invoke(AutomationObject& object, DispId id, std::uint16_t flags,
                     std::span<Variant> args, Variant& result) {
  result = Variant();
  const MemberInfo* member = FindInvokedMember(*object.Class().Interface, id, flags);
  if (!member) return InvokeOutcome::Refusal(kDispMemberNotFound);
  std::vector<Variant> params;
  InvokeOutcome outcome = ConvertArguments(*member, args, params);
  if (!outcome.Succeeded()) return outcome;
  outcome = RunGuarded(object, *member, params, result);
  if (!outcome.Succeeded()) return outcome;
  for (std::size_t i = 0; i < args.size(); ++i)
    if (member->Params[i].Out) args[i] = std::move(params[i]);
  return outcome;
}

}  // namespace voziroz
