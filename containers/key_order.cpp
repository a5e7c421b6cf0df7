#include "containers/key_order.h"

#include <algorithm>

#include "engine/windows1252.h"

namespace voziroz {

int CompareKeys(std::string_view a, std::string_view b) {
  // One byte is one code unit and the mapping is one-to-one, so the first differing byte is the
  // first differing code unit.
  const auto [in_a, in_b] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (in_a == a.end()) return in_b == b.end() ? 0 : -1;
  if (in_b == b.end()) return 1;
  const char32_t unit_a = AnsiToCodePoint(static_cast<unsigned char>(*in_a));
  const char32_t unit_b = AnsiToCodePoint(static_cast<unsigned char>(*in_b));
  return unit_a < unit_b ? -1 : 1;
}

}  // namespace voziroz
