// `voziroz lines FILE`, run as a program: its output format, exit codes and messages.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace {

using voziroz::testing::RunTool;
using voziroz::testing::ToolRun;

class LinesCommandTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) { return dir_.Write("file.ged", bytes); }

  voziroz::testing::TempDir dir_;
};

TEST_F(LinesCommandTest, PrintsLinesWithEscapedValuesAndTheEstimates) {
  std::string path = Write(
      "0 HEAD\r\n0 @I1@ INDI\r\n1 NAME Ren\xE9 \\ x\r\n1 NOTE a\tb\r\n2 CONT c\x01\r\n0 TRLR\r\n");
  ToolRun run = RunTool("lines " + path);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "0\t0\tHEAD\t\n"
            "1\t0\tINDI\t@I1@\n"
            "2\t1\tNAME\tRen\xC3\xA9 \\\\ x\n"
            "3\t1\tNOTE\ta\\tb\\r\\nc\\x01\n"
            "\n"
            "PersonEstimate\t2\n"
            "FamilyEstimate\t1\n"
            "EventEstimate\t1\n"
            "MultimediaEstimate\t1\n"
            "SourceEstimate\t1\n");
}

TEST_F(LinesCommandTest, FailuresExitWithAMessage) {
  struct Case {
    std::string arguments;
    int exit_code;
    std::string message;
  };
  const Case cases[] = {
      {"lines " + (dir_.path() / "missing.ged").string(), 1, "cannot read"},
      {"lines " + dir_.path().string(), 1, "cannot read"},
      {"lines " + Write("1 _X y\r\n1 FOO\r\n"), 1, "holds no GEDCOM line"},
      {"lines", 2, "Usage: voziroz lines [OPTIONS] FILE"},
      {"lines a b", 2, "Usage: voziroz lines [OPTIONS] FILE"},
  };
  for (const Case& c : cases) {
    ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
  }
}

TEST_F(LinesCommandTest, EmptyFileHasNoLines) {
  ToolRun run = RunTool("lines " + Write(""));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(run.out.starts_with("\nPersonEstimate\t1\n")) << run.out;
}

}  // namespace
