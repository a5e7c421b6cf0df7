#include "containers/key_order.h"

#include <algorithm>

#include "engine/unicode.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

// A code point's place in UTF-16 code unit order: the surrogate pairs (U+10000 and above) sort
// between U+D7FF and U+E000.
char32_t Utf16Rank(char32_t cp) {
  if (cp < 0xD800) return cp;
  if (cp >= 0x10000) return 0xD800 + (cp - 0x10000);
  return cp + 0x100000;
}

// The code point of the UTF-8 character at `at`, backed up to the character's first byte.
char32_t CodePointAround(std::string_view text, std::size_t at) {
  while (at > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[at]))) --at;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
  return NextUtf8(p, reinterpret_cast<const unsigned char*>(text.data()) + text.size()).CodePoint;
}

}  // namespace

int CompareKeys(std::string_view a, std::string_view b, CodePage page) {
  const auto [in_a, in_b] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (in_a == a.end()) return in_b == b.end() ? 0 : -1;
  if (in_b == b.end()) return 1;
  if (page == CodePage::Utf8) {
    // Both keys share the bytes before the mismatch, so both back up to the same first byte.
    const auto at = static_cast<std::size_t>(in_a - a.begin());
    return Utf16Rank(CodePointAround(a, at)) < Utf16Rank(CodePointAround(b, at)) ? -1 : 1;
  }
  // One byte is one code unit and the mapping is one-to-one, so the first differing byte is the
  // first differing code unit.
  const char32_t unit_a = AnsiToCodePoint(static_cast<unsigned char>(*in_a));
  const char32_t unit_b = AnsiToCodePoint(static_cast<unsigned char>(*in_b));
  return unit_a < unit_b ? -1 : 1;
}

}  // namespace voziroz
