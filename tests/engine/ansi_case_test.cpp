#include "engine/ansi_case.h"

#include <gtest/gtest.h>

namespace voziroz {
namespace {

TEST(AnsiCase, UpperAndLowerAreInversesOnLetters) {
  // ASCII, accented Latin-1 letters, and the four pairs outside the 0xC0-0xFF block.
  EXPECT_EQ(AnsiUpperCase("mar \xE9t\xE9 \x9A\x9C\x9E\xFF"), "MAR \xC9T\xC9 \x8A\x8C\x8E\x9F");
  EXPECT_EQ(AnsiLowerCase("MAR \xC9T\xC9 \x8A\x8C\x8E\x9F"), "mar \xE9t\xE9 \x9A\x9C\x9E\xFF");
}

TEST(AnsiCase, SignsAndSharpSStayAsTheyAre) {
  // Multiplication and division signs sit among the letters but have no case; sharp s (0xDF)
  // has no single-byte capital and the capital range ends at 0xDE.
  EXPECT_EQ(AnsiUpperCase("\xD7\xF7\xDF 1-2"), "\xD7\xF7\xDF 1-2");
  EXPECT_EQ(AnsiLowerCase("\xD7\xF7\xDF 1-2"), "\xD7\xF7\xDF 1-2");
}

}  // namespace
}  // namespace voziroz
