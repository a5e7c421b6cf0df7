// `voziroz ancestors FILE ID [GENERATIONS]`, run as a program: the report, exit codes, messages.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace {

using voziroz::testing::RunTool;
using voziroz::testing::ToolRun;

// 1's parents are 2 and 3; 2's are 4 and 5; 3's mother is unknown, her father 6 has no PERSON
// record. Names are Windows-1252.
constexpr const char* kFamily =
    "0 HEAD\r\n1 CHAR ANSI\r\n"
    "0 @I1@ INDI\r\n1 NAME Ren\xE9 /Dahl/\r\n1 FAMC @F1@\r\n"
    "0 @I2@ INDI\r\n1 NAME Jens /Dahl/\r\n1 FAMC @F2@\r\n"
    "0 @I3@ INDI\r\n1 NAME Karen /Holm/\r\n1 FAMC @F3@\r\n"
    "0 @I4@ INDI\r\n1 NAME Hans /Dahl/\r\n0 @I5@ INDI\r\n1 NAME Maren /Berg/\r\n"
    "0 @F1@ FAM\r\n1 HUSB @I2@\r\n1 WIFE @I3@\r\n0 @F2@ FAM\r\n1 HUSB @I4@\r\n1 WIFE @I5@\r\n"
    "0 @F3@ FAM\r\n1 HUSB @I6@\r\n0 TRLR\r\n";

class AncestorsCommand : public ::testing::Test {
 protected:
  voziroz::testing::TempDir dir_;
  const std::string file_ = dir_.Write("family.ged", kFamily);
};

TEST_F(AncestorsCommand, PrintsKnownAncestorsWithTheirNames) {
  const ToolRun run = RunTool("ancestors " + file_ + " 1");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "Person 1: Ren\xC3\xA9 /Dahl/, ancestors known to generation 2\n"
            "Generation 1: 2 of 2 known\n"
            "  2         2       Jens /Dahl/\n"
            "  3         3       Karen /Holm/\n"
            "Generation 2: 3 of 4 known\n"
            "  4         4       Hans /Dahl/\n"
            "  5         5       Maren /Berg/\n"
            "  6         6       (no PERSON row)\n");
}

TEST_F(AncestorsCommand, GenerationsLimitTheReport) {
  const struct {
    std::string arguments;
    std::string out;
  } cases[] = {
      {"1 1",
       "Person 1: Ren\xC3\xA9 /Dahl/, ancestors known to generation 2\n"
       "Generation 1: 2 of 2 known\n  2         2       Jens /Dahl/\n"
       "  3         3       Karen /Holm/\n"},
      {"1 0", "Person 1: Ren\xC3\xA9 /Dahl/, ancestors known to generation 2\n"},
      {"4", "Person 4: Hans /Dahl/, ancestors known to generation 0\n"},
      {"@I4@ 3", "Person 4: Hans /Dahl/, ancestors known to generation 0\n"},
      {"I4", "Person 4: Hans /Dahl/, ancestors known to generation 0\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool("ancestors " + file_ + " " + c.arguments);
    EXPECT_EQ(run.exit_code, 0) << c.arguments;
    EXPECT_EQ(run.out, c.out) << c.arguments;
  }
}

TEST_F(AncestorsCommand, FailuresExitWithAMessage) {
  const std::string missing = (dir_.path() / "missing.ged").string();
  const struct {
    std::string arguments;
    int exit_code;
    std::string out;
  } cases[] = {
      {"ancestors " + file_ + " one", 2, "'one' is not a person's identifier"},
      {"ancestors " + file_ + " 1x", 2, "'1x' is not a person's identifier"},
      {"ancestors " + file_ + " @I1", 2, "'@I1' is not a person's identifier"},
      {"ancestors " + file_ + " 1 -1", 2, "Usage: voziroz ancestors"},
      {"ancestors " + file_ + " 99999999999", 2, "not a person's identifier"},
      {"ancestors " + file_ + " 99 5", 1, "voziroz ancestors: no person 99 in " + file_ + "\n"},
      {"ancestors " + missing + " 1", 1,
       "voziroz ancestors: cannot read '" + missing +
           "' (missing, not a regular file, or no access)\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    if (c.exit_code == 1) {
      EXPECT_EQ(run.out, c.out) << c.arguments;
    }
    EXPECT_NE(run.out.find(c.out), std::string::npos) << c.arguments << ": " << run.out;
  }
}

}  // namespace
