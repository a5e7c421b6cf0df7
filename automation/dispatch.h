// The dispatcher: calls by name and by DISPID on any automation object, driven by the interface
// descriptions of interfaces.h and each class's table of member handlers.
//
// How to add an object (or a member of an existing one):
//  1. Its interface is described in interfaces.py (all six are there already).
//  2. Derive the class from AutomationObject and override Members() to return a function-local
//     static MemberTable of its ClassInfo, adding one handler per member by name and kind:
//        const MemberTable& TQueue::Members() const {
//          static const MemberTable table = MemberTable(QueueClass())
//              .Add<TQueue>("Put", MemberKind::Method,
//                           [](TQueue& q, MemberArgs a) { q.Put(a[0]); return Variant(); })
//              .Add<TQueue>("Length", MemberKind::PropertyGet,
//                           [](TQueue& q, MemberArgs) { return Variant::I4(q.Length()); });
//          return table;
//        }
//     A handler receives exactly one argument per declared parameter, already converted to the
//     declared type (I4 -> Variant::I4, BOOL -> Bool, BSTR -> Text, VARIANT as passed, IParser
//     -> an Object of that interface); an omitted optional argument is Variant::Error(
//     kParamNotFound). It writes [out] parameters into its arguments and returns the result
//     (ignored for members without one).
//  3. Report failures by throwing (AutomationError, ThrowRangeError): the guard turns them into
//     the error information with the class's ProgID. A member without a handler answers E_NOTIMPL.
// Nothing in this file changes for a new object.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "automation/automation_object.h"
#include "automation/error.h"
#include "automation/interfaces.h"
#include "automation/variant.h"

namespace voziroz {

using MemberArgs = std::span<Variant>;
using MemberHandler = std::function<Variant(AutomationObject&, MemberArgs)>;

// The handlers of one class, indexed like its interface's members.
class MemberTable {
 public:
  explicit MemberTable(const ClassInfo& cls);

  // Adds the handler of the member `name` of kind `kind` for objects of class T (the table's
  // objects must all be T). Throws std::logic_error when the interface has no such member or it
  // already has a handler: a mistake in the table, found the first time the table is built.
  template <class T, class Handler>
  MemberTable& Add(std::string_view name, MemberKind kind, Handler handler) {
    Bind(name, kind, [handler](AutomationObject& self, MemberArgs args) -> Variant {
      return handler(static_cast<T&>(self), args);
    });
    return *this;
  }

  const ClassInfo& Class() const { return *class_; }
  const InterfaceInfo& Interface() const { return *class_->Interface; }
  // The handler of the interface's member number `index`; null when none was added.
  const MemberHandler* HandlerAt(std::size_t index) const;

 private:
  void Bind(std::string_view name, MemberKind kind, MemberHandler handler);

  const ClassInfo* class_;
  std::vector<MemberHandler> handlers_;
};

// What a caller asks Invoke for; flags combine (a script host often passes Method | PropertyGet).
enum InvokeFlags : std::uint16_t {
  kInvokeMethod = 1,
  kInvokePropertyGet = 2,
  kInvokePropertyPut = 4,
  kInvokePropertyPutRef = 8,
};

inline constexpr DispId kDispIdUnknown = -1;

// names[0] is a member name, the others names of its parameters. Fills ids (same size as names)
// with the member's DISPID and the parameters' 0-based positions. Names compare ignoring case.
// Returns kOk, or kDispUnknownName with kDispIdUnknown for every name not found.
HResult GetIDsOfNames(const InterfaceInfo& iface, std::span<const std::string_view> names,
                      std::span<DispId> ids);

struct InvokeOutcome {
  // kOk; a refusal before the member ran (kDispMemberNotFound, kDispBadParamCount,
  // kDispTypeMismatch, kDispOverflow); or kDispException when the member raised an error.
  HResult Status = kOk;
  ErrorInfo Error;             // with kDispException: number, source, description, help context
  std::int32_t ArgError = -1;  // with a type refusal: the position of the argument (0 = first)
  bool Succeeded() const { return Status == kOk; }
  static InvokeOutcome Refusal(HResult status, std::int32_t arg_error = -1) {
    InvokeOutcome outcome;
    outcome.Status = status;
    outcome.ArgError = arg_error;
    return outcome;
  }
};

// The member that Invoke calls for `id` and `flags` (see Invoke), or null when none answers.
const MemberInfo* FindInvokedMember(const InterfaceInfo& iface, DispId id, std::uint16_t flags);

// Calls member `id` of the object. `args` are in declaration order (the first parameter first; a
// put's value last). Which member answers: a put for PropertyPut or PropertyPutRef; otherwise a
// method when Method is asked and one exists, else a property get (also when only Method is
// asked, as some script engines call a get). On success [out] parameters are written back into
// `args` and `result` holds the result (Empty for none); on failure `result` is Empty.
InvokeOutcome Invoke(AutomationObject& object, DispId id, std::uint16_t flags,
                     std::span<Variant> args, Variant& result);

}  // namespace voziroz
