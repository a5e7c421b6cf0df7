// The ancestor member of TParser: GetAncestors over the EVENT and FAMILY tables of the last
// Execute, with the pedigree of the last person asked for kept between calls.
#include <string>
#include <vector>

#include "automation/parser_object.h"

namespace voziroz {
namespace {

// The answer for a generation outside 1 to `deepest`: {1 (UI1), deepest (I4)}.
Variant RangePair(std::int32_t deepest) {
  return Variant::Array(VariantArray({Variant::UI1(1), Variant::I4(deepest)}));
}

[[noreturn]] void ThrowGenerationTooLarge(std::int32_t generation) {
  throw AutomationError("Generation " + std::to_string(generation) + " is too large: " +
                        std::to_string(std::int64_t{1} << generation) + " ancestors");
}

}  // namespace

Variant TParser::GetAncestors(std::int32_t id, std::int32_t generation) {
  if (ancestors_.GenerationCount() == 0 || ancestors_.PersonId() != id)
    ancestors_ = TAncestors::Build(event_table_.get(), family_table_.get(), id);
  const std::int32_t deepest = ancestors_.GenerationCount() - 1;
  if (generation < 1 || generation > deepest) return RangePair(deepest);
  const std::vector<std::int32_t>* slots = ancestors_.Slots(generation);
  if (!slots) ThrowGenerationTooLarge(generation);
  std::vector<Variant> ids;
  ids.reserve(slots->size());
  for (std::int32_t person : *slots) ids.push_back(Variant::I4(person));
  return Variant::Array(VariantArray(std::move(ids)));
}

}  // namespace voziroz
