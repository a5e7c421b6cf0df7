#include "containers/key_order.h"

#include <algorithm>
#include <array>

namespace voziroz {
namespace {

// The code points of Windows-1252's bytes 0x80 to 0x9F; the five undefined bytes stand for the
// control code points of the same number. Every other byte is its own code point.
constexpr std::array<char16_t, 32> kHighControlRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CodeUnitOf(char byte) {
  const auto code = static_cast<unsigned char>(byte);
  return code >= 0x80 && code <= 0x9F ? kHighControlRow[code - 0x80] : char16_t{code};
}

}  // namespace

int CompareKeys(std::string_view a, std::string_view b) {
  // One byte is one code unit and the mapping is one-to-one, so the first differing byte is the
  // first differing code unit.
  const auto [in_a, in_b] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (in_a == a.end()) return in_b == b.end() ? 0 : -1;
  if (in_b == b.end()) return 1;
  return CodeUnitOf(*in_a) < CodeUnitOf(*in_b) ? -1 : 1;
}

}  // namespace voziroz
