#include "automation/call_by_name.h"

#include <cstdio>
#include <string>

namespace voziroz {
namespace {

std::string Describe(const InvokeOutcome& outcome) {
  char number[16];
  const HResult code = outcome.Status == kDispException ? outcome.Error.Number : outcome.Status;
  std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(code));
  if (outcome.Status != kDispException) return std::string("call refused: ") + number;
  return outcome.Error.Source + ": " + outcome.Error.Description + " (" + number + ")";
}

DispId IdOf(AutomationObject& object, std::string_view name) {
  DispId id = kDispIdUnknown;
  const std::string_view names[] = {name};
  const HResult status = GetIDsOfNames(*object.Class().Interface, names, std::span(&id, 1));
  if (Failed(status)) throw CallFailure(InvokeOutcome::Refusal(status));
  return id;
}

}  // namespace

CallFailure::CallFailure(InvokeOutcome outcome)
    : std::runtime_error(Describe(outcome)), outcome_(std::move(outcome)) {}

Variant CallByName(AutomationObject& object, std::string_view name, std::vector<Variant>& args,
                   std::uint16_t flags) {
  Variant result;
  InvokeOutcome outcome = Invoke(object, IdOf(object, name), flags, args, result);
  if (!outcome.Succeeded()) throw CallFailure(std::move(outcome));
  return result;
}

Variant CallByName(AutomationObject& object, std::string_view name,
                   std::initializer_list<Variant> args, std::uint16_t flags) {
  std::vector<Variant> values(args);
  return CallByName(object, name, values, flags);
}

void PutByName(AutomationObject& object, std::string_view name, std::vector<Variant> indexes,
               Variant value) {
  indexes.push_back(std::move(value));
  CallByName(object, name, indexes, kInvokePropertyPut);
}

}  // namespace voziroz
