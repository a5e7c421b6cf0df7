#include "containers/key_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace voziroz {
namespace {

using namespace std::string_view_literals;

struct OrderCase {
  std::string_view Less;
  std::string_view Greater;
};

// Every pair sorts Less before Greater.
constexpr OrderCase kOrderCases[] = {
    {"", "a"},                 // the empty key first
    {"a", "ab"},               // a prefix before its extensions
    {"C", "a"},                // every upper-case ASCII letter before every lower-case one
    {"ABC", "Abc"},            // no case folding
    {"Abc", "abc"},            //
    {"Z", "a"},                //
    {"a", "b"},                //
    {"9", "A"},                // digits before letters
    {"\x7F", "\x80"},          // DEL (U+007F) before the euro sign (U+20AC)
    {"\xE9", "\x80"},          // e acute (U+00E9) before the euro sign (U+20AC)
    {"\xFF", "\x9F"},          // y diaeresis (U+00FF) before capital Y diaeresis (U+0178)
    {"\x81", "\xA0"},          // undefined 0x81 is U+0081, before no-break space U+00A0
    {"\x8D", "\x8E"},          // undefined 0x8D is U+008D, before Z caron U+017D
    {"\x8A", "\x9A"},          // S caron U+0160 before s caron U+0161
    {"\x96", "\x97"},          // en dash U+2013 before em dash U+2014
    {"\x80", "\x99"},          // euro U+20AC before trade mark U+2122
    {"ab\x00"sv, "ab\x01"sv},  // NUL is a unit like any other
    {"ab", "ab\x00"sv},        // and makes a longer key
};

TEST(CompareKeys, OrdersByUtf16CodeUnit) {
  for (const OrderCase& c : kOrderCases) {
    EXPECT_EQ(CompareKeys(c.Less, c.Greater), -1) << c.Less << " < " << c.Greater;
    EXPECT_EQ(CompareKeys(c.Greater, c.Less), 1) << c.Greater << " > " << c.Less;
  }
}

TEST(CompareKeys, EqualKeysCompareZero) {
  for (std::string_view key : {""sv, "a"sv, "ABC"sv, "\x80\x9F\xFF"sv, "a\x00"sv})
    EXPECT_EQ(CompareKeys(key, key), 0);
}

// The code units of bytes 0x80 to 0x9F are all above those of 0xA0 to 0xFF except the five
// undefined bytes, which stay below 0xA0.
TEST(CompareKeys, HighControlRowAgainstLatin1) {
  constexpr unsigned char kUndefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
  for (int byte = 0x80; byte <= 0x9F; ++byte) {
    const char high[] = {static_cast<char>(byte), 0};
    const bool undefined =
        std::find(std::begin(kUndefined), std::end(kUndefined), byte) != std::end(kUndefined);
    EXPECT_EQ(CompareKeys(high, "\xA0"), undefined ? -1 : 1) << byte;
    EXPECT_EQ(CompareKeys(high, "\x7F"), 1) << byte;
  }
}

// In UTF-8 the first differing characters decide by their UTF-16 units, not their bytes.
TEST(CompareKeys, Utf8KeysInUtf16Order) {
  constexpr OrderCase kUtf8Cases[] = {
      {"é", "€"},         // U+00E9 before U+20AC, sharing no byte
      {"Łódź", "Łódź!"},  // a prefix first
      {"aé", "aê"},       // differing in the second byte of a character
      {"😀", "\uFFFD"},    // a surrogate pair (D83D) before U+FFFD, though F0 > EF
      {"\uD7FF", "😀"},    // and after U+D7FF
  };
  for (const OrderCase& c : kUtf8Cases) {
    EXPECT_EQ(CompareKeys(c.Less, c.Greater, CodePage::Utf8), -1) << c.Less << " < " << c.Greater;
    EXPECT_EQ(CompareKeys(c.Greater, c.Less, CodePage::Utf8), 1) << c.Greater << " > " << c.Less;
  }
}

}  // namespace
}  // namespace voziroz
