// Ancestors by generation, read from the EVENT and FAMILY tables.
//
// Generation g of a person's pedigree has 2^g slots in pedigree order: the father of slot k of
// generation g sits in slot 2k of generation g+1, the mother in slot 2k+1; -1 marks an unknown
// ancestor. The depth is found by walking generations as sets of distinct persons, so pedigree
// collapse and cycles cost no more than the persons involved; slot arrays are built only when a
// generation is asked for.
//
// Errors: a cell that cannot be read as an identifier throws std::runtime_error with the
// conversion's message; everything else is reported by results.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/simple_table.h"

namespace voziroz {

inline constexpr std::int32_t kMaxGenerations = 32;  // generations 0 to 31
inline constexpr std::int32_t kMaxSlotsPerRequest = std::int32_t{1} << 24;

// The lowest row whose cell in `column` equals `value` in a table sorted by that column; -1 when
// none; -2 when the search failed (no table, a cell that cannot be compared with an integer).
std::int32_t FindFirstRow(const tSimpleTable* table, std::int32_t column, std::int32_t value);

// (father, mother) of a person: the husband and wife of the family named by the person's first
// "FAMC" event row in table order; -1 for each that is unknown.
std::pair<std::int32_t, std::int32_t> FindParents(const tSimpleTable* event,
                                                  const tSimpleTable* family, std::int32_t id);

class TAncestors {
 public:
  // The pedigree of `id`: its depth and every parent link it needs. Either table may be null
  // (then nobody has known parents).
  static TAncestors Build(const tSimpleTable* event, const tSimpleTable* family, std::int32_t id);

  // 0 until built; then the number of generations held, the person counting as generation 0.
  std::int32_t GenerationCount() const { return generation_count_; }
  std::int32_t PersonId() const { return person_id_; }

  // The slots of generation g (0 to GenerationCount() - 1), built on first request and kept.
  // Null when g is outside 0 to GenerationCount() - 1 or the generation would hold more than
  // kMaxSlotsPerRequest slots.
  const std::vector<std::int32_t>* Slots(std::int32_t g);

 private:
  std::int32_t generation_count_ = 0;
  std::int32_t person_id_ = -1;
  std::unordered_map<std::int32_t, std::pair<std::int32_t, std::int32_t>> parents_;
  std::vector<std::vector<std::int32_t>> generations_;  // the ones built so far, from 0
};

}  // namespace voziroz
