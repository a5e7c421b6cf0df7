// Record identifiers: the integers that link the tables, taken from cross-reference identifiers
// such as @I12@ by their digits. Identifiers whose digits give no 32-bit number (@FATHER@,
// @I152733931767@) are numbered in the order one build first meets them.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace voziroz {

// The number formed by the decimal digits of `text` (every other character ignored): @I12@ and
// @F0012@ give 12. -1 when there are no digits or the number does not fit in 32 bits.
std::int32_t IdOf(std::string_view text);

// The first number given to an identifier whose digits give none; the last is the highest that
// still fits in 32 bits with the family offset added.
inline constexpr std::int32_t kFirstOwnId = 2000000000;
inline constexpr std::int32_t kLastOwnId = 2146983647;

// The identifiers of one build. Values keep their IdOf, except a cross-reference identifier
// (@...@, three characters or more) for which IdOf is -1: the same text always gets the same
// number of its own, from kFirstOwnId up, or -1 once kLastOwnId is taken. The texts are kept as
// views: they must outlive this object.
class RecordIds {
 public:
  std::int32_t IdOf(std::string_view value);
  // IdOf plus the family offset (500000); -1 when that sum does not fit in 32 bits.
  std::int32_t FamilyIdOf(std::string_view value);

 private:
  std::int32_t OwnIdOf(std::string_view xref);

  std::unordered_map<std::string_view, std::int32_t> own_ids_;
  std::int32_t next_own_id_ = kFirstOwnId;
};

}  // namespace voziroz
