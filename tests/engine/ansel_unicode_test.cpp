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
      // Specials.
      {"\xA1", "Ł"},
      {"\xA2", "Ø"},
      {"\xA3", "Đ"},
      {"\xA4", "Þ"},
      {"\xA5", "Æ"},
      {"\xA6", "Œ"},
      {"\xA7", "\u02B9"},
      {"\xA8", "·"},
      {"\xA9", "\u266D"},
      {"\xAA", "®"},
      {"\xAB", "±"},
      {"\xAC", "Ơ"},
      {"\xAD", "Ư"},
      {"\xAE", "\u02BC"},
      {"\xB0", "\u02BB"},
      {"\xB1", "ł"},
      {"\xB2", "ø"},
      {"\xB3", "đ"},
      {"\xB4", "þ"},
      {"\xB5", "æ"},
      {"\xB6", "œ"},
      {"\xB7", "\u02BA"},
      {"\xB8", "ı"},
      {"\xB9", "£"},
      {"\xBA", "ð"},
      {"\xBC", "ơ"},
      {"\xBD", "ư"},
      {"\xBE", "\u25A1"},
      {"\xBF", "\u25A0"},
      {"\xC0", "°"},
      {"\xC1", "\u2113"},
      {"\xC2", "\u2117"},
      {"\xC3", "©"},
      {"\xC4", "\u266F"},
      {"\xC5", "¿"},
      {"\xC6", "¡"},
      {"\xC7", "ß"},
      {"\xC8", "€"},
      {"\xCD", "e"},
      {"\xCE", "o"},
      {"\xCF", "ß"},
      // Every other byte: as it is below 0x80, else its Windows-1252 character.
      {"\x01 ~\x7F", "\x01 ~\x7F"},
      {"\x80\x81\x8A\x9D\x9F", "€\u0081Š\u009DŸ"},
      {"\xA0\xAF\xBB\xC9\xCC\xD0\xDF\xFF", "\u00A0¯»ÉÌÐßÿ"},
      // Marks, after a letter that has no precomposed form with any of them.
      {"\xE0q", "q\u0309"},
      {"\xE1q", "q\u0300"},
      {"\xE2q", "q\u0301"},
      {"\xE3q", "q\u0302"},
      {"\xE4q", "q\u0303"},
      {"\xE5q", "q\u0304"},
      {"\xE6q", "q\u0306"},
      {"\xE7q", "q\u0307"},
      {"\xE8q", "q\u0308"},
      {"\xE9q", "q\u030C"},
      {"\xEAq", "q\u030A"},
      {"\xEBq", "q\uFE20"},
      {"\xECq", "q\uFE21"},
      {"\xEDq", "q\u0315"},
      {"\xEEq", "q\u030B"},
      {"\xEFq", "q\u0310"},
      {"\xF0q", "q\u0327"},
      {"\xF1q", "q\u0328"},
      {"\xF2q", "q\u0323"},
      {"\xF3q", "q\u0324"},
      {"\xF4q", "q\u0325"},
      {"\xF5q", "q\u0333"},
      {"\xF6q", "q\u0332"},
      {"\xF7q", "q\u0326"},
      {"\xF8q", "q\u031C"},
      {"\xF9q", "q\u032E"},
      {"\xFAq", "q\uFE22"},
      {"\xFBq", "q\uFE23"},
      {"\xFCq", "q\u0338"},
      {"\xFDq", "q"},
      {"\xFEq", "q\u0313"},
      // Composition of a character and its marks, and of nothing else.
      {"\xE9"
       "c",
       "č"},
      {"\xE2\xA2", "Ǿ"},
      {"\xE5"
       "a",
       "ā"},
      {"\xF1"
       "e",
       "ę"},
      {"Ji\xE9r\xE2i Dvo\xE9r\xE2"
       "ak",
       "Jiří Dvořák"},
      {"\xE2\xE2"
       "a",
       "á\u0301"},
      {"\xE3\xF2"
       "a",
       "ậ"},
      {"\xF2\xE3"
       "a",
       "ậ"},
      {"\xE2\xFD"
       "e",
       "é"},
      {"\xE2 ", " \u0301"},
      {"\xE2\x8A", "Š\u0301"},
      // Marks with no character after them.
      {"a\xE2\r\nb", "a\r\nb"},
      {"a\xE2\xE8\nb", "a\nb"},
      {"a\xE2", "a"},
      {"\xFD", ""},
      {"", ""},
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
