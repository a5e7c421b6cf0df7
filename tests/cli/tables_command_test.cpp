// `voziroz tables FILE [NAME]`, run as a program: its output format, exit codes and messages.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace {

using voziroz::testing::RunTool;
using voziroz::testing::ToolRun;

class TablesCommandTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) { return dir_.Write("file.ged", bytes); }

  voziroz::testing::TempDir dir_;
};

constexpr const char* kFile =
    "0 HEAD\r\n0 @S2@ SOUR\r\n1 TITL Kirkebok \xC6r\xF8\r\n1 NOTE a\\b\r\n2 CONT c\td\r\n"
    "0 @I1@ INDI\r\n1 NAME Ren\xE9 /Dahl/\r\n1 BIRT\r\n2 DATE 2 MAR 1850\r\n1 FAMS @F3@\r\n"
    "0 @F3@ FAM\r\n1 HUSB @I1@\r\n0 TRLR\r\n";

TEST_F(TablesCommandTest, PrintsTheNamedTableInAnyCase) {
  const std::string path = Write(kFile);
  for (const char* name : {"source", "Source", "SOURCE"}) {
    ToolRun run = RunTool("tables " + path + " " + name);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out,
              "SOURCE\n"
              "SourID\tTitle\tAuthor\tPublication\tText\tNote\tCallNumber\n"
              "2\tKirkebok \xC3\x86r\xC3\xB8\t\t\t\ta\\\\b\\r\\nc\\td\t\n");
  }
}

TEST_F(TablesCommandTest, PrintsAllFiveTablesInOrder) {
  ToolRun run = RunTool("tables " + Write(kFile));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "PERSON\n"
            "IndiID\tSex\tAFN\tFullname\tSurname\tGivenName\tNote\tUpdated\tSourID\n"
            "1\tU\t\tRen\xC3\xA9 /Dahl/\tDahl\tRen\xC3\xA9\t\t\t-1\n"
            "\n"
            "FAMILY\n"
            "FamilyID\tFamilyReleation\tIndiID\n"
            "500003\t0\t1\n"
            "\n"
            "EVENT\n"
            "FamRefID\tMainRefID\tInfo\tSourId\tEventcode\tNote\tDate\tLocation\tIsoDate\n"
            "-1\t1\t\t-1\tBIRT\t\t2 MAR 1850\t\t18500302\n"
            "500003\t1\t\t-1\tFAMS\t\t\t\t00000000\n"
            "\n"
            "SOURCE\n"
            "SourID\tTitle\tAuthor\tPublication\tText\tNote\tCallNumber\n"
            "2\tKirkebok \xC3\x86r\xC3\xB8\t\t\t\ta\\\\b\\r\\nc\\td\t\n"
            "\n"
            "MULTIMEDIA\n"
            "MainRefID\tFormat\tTitle\tFilename\tNote\tRefTo\n"
            "\t\t\t\t\t\n");  // a table with no rows holds one row of empty cells
}

TEST_F(TablesCommandTest, FailuresExitWithAMessage) {
  struct Case {
    std::string arguments;
    int exit_code;
    std::string message;
  };
  const std::string good = Write(kFile);
  const Case cases[] = {
      {"tables " + (dir_.path() / "missing.ged").string(), 1, "cannot read"},
      {"tables " + dir_.Write("junk.ged", "1 _X y\r\n1 FOO\r\n"), 1, "holds no GEDCOM line"},
      {"tables " + good + " lines", 2, "no table named 'lines'"},
      {"tables", 2, "Usage: voziroz tables [OPTIONS] FILE [NAME]"},
      {"tables " + good + " person extra", 2, "Usage: voziroz tables [OPTIONS] FILE [NAME]"},
  };
  for (const Case& c : cases) {
    ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
  }
}

}  // namespace
