#include "engine/date_key.h"

#include <gtest/gtest.h>

#include <string_view>

namespace voziroz {
namespace {

struct DateCase {
  std::string_view value;
  std::string_view key;
  std::string_view why;
};

TEST(IsoDateOf, KeysOfPlainAndQualifiedDates) {
  const DateCase cases[] = {
      {"12 MAR 1850", "18500312", "the plain case"},
      {"2 mar 1850", "18500302", "upper-cased first; one digit gets a leading 0"},
      {"  2 MAR 1850 \t", "18500302", "trimmed first"},
      {"\x01\x1f"
       "2 MAR 1850\r\n",
       "18500302", "control characters trimmed too"},
      {"MAR 1850", "18500300", "no day"},
      {"1850", "18500000", "year only"},
      {"", "00000000", "empty"},
      {"   \t ", "00000000", "blanks only"},
      {"ABT 1850", "18500000", "qualifier and its blank skipped"},
      {"BEF 1850", "18500000", "qualifier and its blank skipped"},
      {"AFT 1850", "18500000", "qualifier and its blank skipped"},
      {"abt 1850", "18500000", "qualifier recognised after upper-casing"},
      {"AFT 3 JUN 1850", "18500603", "qualified full date"},
      {"BET 1 JAN 1850 AND 1 JAN 1860", "18500101", "only the first date of a range counts"},
      {"BET 1850 AND 1860", "18500000", "range of years"},
      {"BET 1850", "00000000", "no AND: nothing between the qualifier and AND"},
      {"INT 1 JAN 1850 (ABOUT NEW YEAR)", "18500101", "the phrase is cut off at its parenthesis"},
      {"INT 1850", "00000000", "no phrase: nothing before a parenthesis"},
      {"(SPRINGTIME)", "00000000", "a lone phrase of one long word"},
      {"(SPRING OF 1850)", "000000OF", "every word is read: OF becomes the day"},
      {"EST 1850", "18500000", "EST is an ordinary three-letter word"},
      {"EST 1 JAN 1850", "00000101", "EST takes a place; the year, fourth word, is never read"},
      {"1  JAN 1850", "00000101", "the extra blank takes the second place"},
      {"1 JAN 1750/51", "00000101", "the dual year has seven characters and is ignored"},
      {"1 JAN 50", "00000150", "the two-digit year overwrites the day"},
      {"1 SEPT 1850", "18500001", "SEPT sets the year, 1850 overwrites it; month stays 00"},
      {"1 XYZ 1850", "18500001", "a three-letter word that is no month sets nothing"},
      {"INT(", "00000000", "parenthesis before the date's place"},
      {"AB", "000000AB", "shorter than a qualifier: read as a plain word"},
  };
  for (const DateCase& c : cases) EXPECT_EQ(IsoDateOf(c.value), c.key) << c.why << ": " << c.value;
}

TEST(IsoDateOf, KeyIsAlwaysEightCharacters) {
  const std::string_view values[] = {"x",
                                     "1 2 3",
                                     "ABT",
                                     "BET AND",
                                     "INT (",
                                     "12345 123456 1",
                                     "\xe9t\xe9 1850",
                                     std::string_view("1\0 JAN", 6)};
  for (std::string_view v : values) EXPECT_EQ(IsoDateOf(v).size(), 8u) << v;
}

TEST(PlainIsoDate, ReadsOnlyTheFirstThreeWords) {
  EXPECT_EQ(PlainIsoDate("3 jun 1850"), "18500603");   // months compared after upper-casing
  EXPECT_EQ(PlainIsoDate(" 3 JUN 1850"), "00000603");  // a leading blank takes the first place
  EXPECT_EQ(PlainIsoDate("1850 JUN 3 DEC"), "18500603");
  EXPECT_EQ(PlainIsoDate(""), "00000000");
}

}  // namespace
}  // namespace voziroz
