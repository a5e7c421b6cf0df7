#include <gtest/gtest.h>

#include <string>

#include "engine/ansel.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

std::string Convert(std::string_view ansel) {
  return std::string(AnselToUtf8(ansel).view());
}

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(AnselToUtf8, ConvertsEachCharacterAndMark) {
  const std::pair<std::string, std::string> cases[] = {
      // The specials.
      {"\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE", "ŁØĐÞÆŒ\u02B9·\u266D®±ƠƯ\u02BC"},
      {"\xB0\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBC\xBD\xBE\xBF",
       "\u02BBłøđþæœ\u02BAı£ðơư\u25A1\u25A0"},
      {"\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xCD\xCE\xCF", "°\u2113\u2117©\u266F¿¡ß€eoß"},
      // Every other byte: as it is below 0x80, else its Windows-1252 character.
      {"\x01 ~\x7F", "\x01 ~\x7F"},
      {"\x80\x81\x8A\x9D\x9F\xA0\xAF\xBB\xC9\xCC\xD0\xDF\xFF", "€\u0081Š\u009DŸ\u00A0¯»ÉÌÐßÿ"},
      // Each mark, before a letter that has no precomposed form with any of them.
      {"\xE0q\xE1q\xE2q\xE3q\xE4q\xE5q\xE6q\xE7q",
       "q\u0309q\u0300q\u0301q\u0302q\u0303q\u0304q\u0306q\u0307"},
      {"\xE8q\xE9q\xEAq\xEBq\xECq\xEDq\xEEq\xEFq",
       "q\u0308q\u030Cq\u030Aq\uFE20q\uFE21q\u0315q\u030Bq\u0310"},
      {"\xF0q\xF1q\xF2q\xF3q\xF4q\xF5q\xF6q\xF7q",
       "q\u0327q\u0328q\u0323q\u0324q\u0325q\u0333q\u0332q\u0326"},
      {"\xF8q\xF9q\xFAq\xFBq\xFCq\xFDq\xFEq", "q\u031Cq\u032Eq\uFE22q\uFE23q\u0338qq\u0313"},
      // A character composed with its marks, and nothing else (octal escapes before a letter).
      {"\351c \xE2\xA2 \345a \361e", "č Ǿ ā ę"},
      {"Ji\xE9r\xE2i Dvo\xE9r\342ak", "Jiří Dvořák"},
      {"\342\342a", "á\u0301"},
      {"\343\362a \362\343a", "ậ ậ"},  // reordered by combining class first
      {"\342\375e \xE2\x8A \xE2 ", "é Š\u0301  \u0301"},
      // Marks with no character after them.
      {"a\xE2\r\nb\xE2\xE8\nc\xE2", "a\r\nb\nc"},
      {"\xFD", ""},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(Convert(in), want) << in;
}

TEST(AnselToUtf8, KeepsEveryMarkOfALongRunAndGrowsItsOutput) {
  const std::pair<std::string, std::string> cases[] = {
      {Repeat("\xE2", 40) + "a", "á" + Repeat("\u0301", 39)},
      {Repeat("\xE2", 100000) + "a\r\n", "á" + Repeat("\u0301", 99999) + "\r\n"},
      {Repeat("\xA9", 100000), Repeat("\u266D", 100000)},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(Convert(in), want) << in.size();
}

TEST(AnselToUtf8, EveryPairOfBytesGivesValidUtf8) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      ASSERT_TRUE(IsValidUtf8(Convert(std::string{char(first), char(second)})))
          << first << ' ' << second;
    }
  }
}

}  // namespace
}  // namespace voziroz
