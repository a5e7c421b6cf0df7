#include "engine/ansel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace voziroz {
namespace {

using namespace std::string_literals;

std::string Convert(const std::string& ansel) {
  return std::string(AnselToAnsi(ansel).view());
}

TEST(Ansel, ConvertsTexts) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"0 HEAD\r\n1 CHAR ANSEL\r\n", "0 HEAD\r\n1 CHAR ANSEL\r\n"},
      {"A\xE8o\xE8u\r\n", "A\xF6\xFC\r\n"},
      {"\xB2\xE2"
       "a\xA5",
       "\xF8\xE1\xC6"},
      {"\xE8Y", "Y"},  // no capital Y with umlaut
      {"\xE5"
       "A",
       "A"},  // macron: always dropped
      {"\xE9S", "\x8A"},
      {"\xE1"
       "a",
       "\xE0"},
      {"\xE0"
       "a",
       "\xE0"},  // hook above gives the grave letters too
      {"\xA7", "\xA7"},
      {"\xBE", "\x81"},
      {"\xB3", "d"},
      {"\xA3", "\xD0"},
      {"\xE2\xE2"
       "a",
       "\xE2"
       "a"},                 // stacked marks: the second stays raw
      {"\xE2\xA2", "\xA2"},  // the byte after a mark is never converted
      {"\xE2\r\n", "\r\n"},  // a mark before a line break vanishes
      {"\xFF", "\xFF"},      // not a mark
      {"\xA0\x7F\x80\x9F", "\xA0\x7F\x80\x9F"},
      {"\xF0"
       "c\xF0"
       "C\xE4n\xEA"
       "A",
       "\xE7\xC7\xF1\xC5"},
  };
  for (const auto& [in, want] : cases) EXPECT_EQ(Convert(in), want) << in;
}

TEST(Ansel, AMarkThatEndsTheTextIsDroppedAndTheRestConverts) {
  EXPECT_EQ(Convert("Ren\xE2"
                    "e\xE1"),
            "Ren\xE9");
  EXPECT_EQ(Convert("\xFE"), "");
  EXPECT_EQ(Convert("\xE2\xE2"), "\xE2");  // the second mark is the first one's letter
}

TEST(Ansel, SpecialCharacterTable) {
  const std::pair<unsigned char, unsigned char> table[] = {
      {0xA1, 'L'},  {0xA2, 0xD8}, {0xA3, 0xD0}, {0xA4, 0xDE}, {0xA5, 0xC6}, {0xA6, 0x8C},
      {0xA7, 0xA7}, {0xA8, 0xB7}, {0xAA, 0xAE}, {0xAB, 0xB1}, {0xAC, 'O'},  {0xAD, 'U'},
      {0xB1, 'l'},  {0xB2, 0xF8}, {0xB3, 'd'},  {0xB4, 0xFE}, {0xB5, 0xE6}, {0xB6, 0x9C},
      {0xB9, 0xA3}, {0xBA, 0xF0}, {0xBC, 'o'},  {0xBD, 'u'},  {0xBE, 0x81}, {0xC0, 0xB0},
      {0xC3, 0xA9}, {0xC5, 0xBF}, {0xC6, 0xA1}, {0xCD, 'e'},  {0xCE, 'o'},  {0xCF, 0xDF},
  };
  std::set<int> replaced;
  for (auto [from, to] : table) {
    EXPECT_EQ(Convert(std::string(1, char(from))), std::string(1, char(to))) << int(from);
    replaced.insert(from);
  }
  for (int b = 0x00; b <= 0xDF; ++b) {  // every other byte below the marks passes unchanged
    if (replaced.count(b)) continue;
    EXPECT_EQ(Convert(std::string(1, char(b))), std::string(1, char(b))) << b;
  }
}

TEST(Ansel, CompositionTable) {
  struct Row {
    unsigned char mark;
    std::string letters;
    std::string results;
  };
  const Row rows[] = {
      {0xE0, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
      {0xE1, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
      {0xE2, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},
      {0xE3, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},
      {0xE4, "ANOano", "\xC3\xD1\xD5\xE3\xF1\xF5"},
      {0xE8, "AEIOUaeiouy", "\xC4\xCB\xCF\xD6\xDC\xE4\xEB\xEF\xF6\xFC\xFF"},
      {0xE9, "SZsz", "\x8A\x8E\x9A\x9E"},
      {0xEA, "Aa", "\xC5\xE5"},
      {0xF0, "Cc", "\xC7\xE7"},
  };
  // Every pair not listed keeps the byte after the mark as it is.
  for (int mark = 0xE0; mark <= 0xFE; ++mark) {
    const Row* row = nullptr;
    for (const Row& r : rows)
      if (r.mark == mark) row = &r;
    for (int next = 0; next < 256; ++next) {
      std::string want(1, char(next));
      std::size_t at = row ? row->letters.find(char(next)) : std::string::npos;
      if (at != std::string::npos) want = std::string(1, row->results[at]);
      ASSERT_EQ(Convert({char(mark), char(next)}), want) << mark << ' ' << next;
    }
  }
}

TEST(Ansel, DeclarationCountsOnlyWithinTheFirst8192Characters) {
  const std::string declaration = "1 CHAR ANSEL";
  EXPECT_TRUE(DeclaresAnsel("0 HEAD\r\n1 CHAR ANSEL\r\n"));
  EXPECT_TRUE(DeclaresAnsel(std::string(8192 - declaration.size(), 'x') + declaration));
  EXPECT_FALSE(DeclaresAnsel(std::string(8193 - declaration.size(), 'x') + declaration));
  for (std::string other : {"1 CHAR ansel", "1  CHAR ANSEL", "1 CHAR\tANSEL", "2 CHAR ANSEL", ""})
    EXPECT_FALSE(DeclaresAnsel(other)) << other;
}

}  // namespace
}  // namespace voziroz
