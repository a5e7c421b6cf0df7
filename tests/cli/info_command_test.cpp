// `voziroz info FILE`, run as a program: the metadata report, exit codes and messages.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace {

using voziroz::testing::RunTool;
using voziroz::testing::ToolRun;

TEST(InfoCommand, PrintsTheGridWithMultiLineValuesBelowThemselves) {
  voziroz::testing::TempDir dir;
  const std::string path = dir.Write(
      "family.ged",
      "0 HEAD\r\n1 SOUR FTW\r\n2 NAME Tree \xE9\r\n1 GEDC\r\n2 VERS 5.5\r\n1 NOTE first\r\n"
      "2 CONT \r\n2 CONT third\r\n0 @S1@ SUBM\r\n1 NAME Ann\r\n1 PHON 555\r\n0 @I1@ INDI\r\n"
      "0 TRLR\r\n");
  const ToolRun run = RunTool("info " + path);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "Row Estimate   Person       2\n"
            "               Source       1\n"
            "               Family       1\n"
            "               Event        1\n"
            "               Multimedia   1\n"
            "GEDCOM file    Lines        10\n"
            "               Source       Tree \xC3\xA9 FTW\n"
            "               Target\n"
            "               Format       GEDCOM  5.5\n"
            "               Language\n"
            "               Charset\n"
            "               Filename\n"
            "               Filedate\n"
            "               Submitter    Ann\n"
            "                            555\n"
            "               Notes        first\n"
            "\n"
            "                            third\n"
            "Columns        Person       IndiID,Sex,AFN,Fullname,Surname,Givenname,Note,Updated,"
            "SourID\n"
            "               Source       SourID,Title,Author,Publication,Text,Note\n"
            "               Family       FamilyID,FamilyRelation,IndiID\n"
            "               Event        FamRefID,MainRefID,Info,SourId,Eventcode,Note,Date,"
            "Location,IsoDate\n"
            "               Multimedia   IndiID,Format,Title,Filename,Note,RefTo\n"
            "               GEDCOM       LineNb,Level,Keyword,Value\n");
}

TEST(InfoCommand, FailuresExitWithAMessage) {
  voziroz::testing::TempDir dir;
  const struct {
    std::string arguments;
    int exit_code;
    std::string message;
  } cases[] = {
      {"info " + (dir.path() / "missing.ged").string(), 1, "voziroz info: cannot read '"},
      {"info " + dir.Write("unknown.ged", "0 FOO\r\n"), 1, "holds no GEDCOM line"},
      {"info", 2, "Usage: voziroz info [OPTIONS] FILE"},
      {"info a b", 2, "Usage: voziroz info [OPTIONS] FILE"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
  }
}

}  // namespace
