#include "engine/unicode.h"

#include <gtest/gtest.h>

namespace voziroz {
namespace {

// Malformed UTF-8 gives one U+FFFD per maximal subpart; the rest of the text survives.
TEST(Unicode, Utf8ToUtf16ReplacesEachMaximalInvalidSubpart) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"Dvo\xC5\x99\xC3\xA1k", u"Dvořák"},
      {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
      {"a\xE1\x80z", u"a\uFFFDz"},                        // a truncated sequence is one subpart
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong: no valid start past the lead
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF0\x9F\x98", u"\uFFFD"},                        // cut at the end of the text
      {"\xC0\xAF\xFF\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
}

TEST(Unicode, Utf16ToUtf8KeepsPairsAndReplacesLoneSurrogates) {
  const struct {
    std::u16string utf16;
    std::string utf8;
  } cases[] = {
      {u"Łódź", "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(1, char16_t(0xD83D)) + u"x", "\xEF\xBF\xBDx"},
      {u"x" + std::u16string(1, char16_t(0xDE00)), "x\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
}

}  // namespace
}  // namespace voziroz
