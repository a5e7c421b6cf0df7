// Late-bound calls from C++, the way a script host makes them: the member name goes through
// GetIDsOfNames, the call through Invoke. For tools and tests that use the objects as scripts do.
//
// Error model: a refused or failed call throws CallFailure, which carries the dispatcher's
// outcome (status, and for an error raised inside the member its number, source, description).
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "automation/dispatch.h"

namespace voziroz {

class CallFailure : public std::runtime_error {
 public:
  explicit CallFailure(InvokeOutcome outcome);
  const InvokeOutcome& Outcome() const { return outcome_; }

 private:
  InvokeOutcome outcome_;
};

// Calls `name` with `args`, as a script's `x = object.Name(args)` does (Method | PropertyGet).
// [out] parameters are written back into `args`.
Variant CallByName(AutomationObject& object, std::string_view name, std::vector<Variant>& args,
                   std::uint16_t flags = kInvokeMethod | kInvokePropertyGet);
Variant CallByName(AutomationObject& object, std::string_view name,
                   std::initializer_list<Variant> args = {},
                   std::uint16_t flags = kInvokeMethod | kInvokePropertyGet);
// Assigns `value` to the property `name` with the given index arguments.
void PutByName(AutomationObject& object, std::string_view name, std::vector<Variant> indexes,
               Variant value);

}  // namespace voziroz
