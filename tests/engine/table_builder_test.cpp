// The person rules, the table layouts and finishing of the table builder.
#include "engine/table_builder.h"

#include <gtest/gtest.h>

#include "engine/table_layouts.h"
#include "tests/engine/built_tables.h"
#include "tests/engine/test_lines.h"

namespace voziroz {
namespace {

using namespace testkit;

// The first PERSON row of a one-person file.
Row PersonOf(std::string_view text) {
  return RowOf(BuildText(text).person, 0);
}

TEST(TableBuilder, OnePersonWithABirth) {
  const BuiltTables t = BuildText(
      "0 HEAD\n1 CHAR ANSI\n"
      "0 @I1@ INDI\n1 NAME John /Smith/\n1 SEX M\n1 BIRT\n2 DATE 2 MAR 1850\n2 PLAC Oslo\n"
      "0 TRLR");
  EXPECT_EQ(
      RowsOf(t.person),
      (std::vector<Row>{{"i32:1", "M", "", "John /Smith/", "Smith", "John", "", "", "i8:-1"}}));
  EXPECT_EQ(RowsOf(t.event), (std::vector<Row>{{"i8:-1", "i32:1", "", "i8:-1", "BIRT", "",
                                                "2 MAR 1850", "Oslo", "18500302"}}));
  EXPECT_EQ(RowsOf(t.family), NoRows(t.family));
  EXPECT_EQ(RowsOf(t.source), NoRows(t.source));
  EXPECT_EQ(RowsOf(t.multimedia), NoRows(t.multimedia));
  EXPECT_EQ(t.family.LastRow, 0);
  EXPECT_EQ(t.source.LastRow, 0);
  EXPECT_EQ(t.multimedia.LastRow, 0);
}

TEST(TableBuilder, LayoutsAsScriptsSeeThem) {
  const BuiltTables t = BuildText("0 TRLR");
  struct Expected {
    const tSimpleTable& table;
    std::vector<std::string> names;
    int key_col;
  };
  const Expected layouts[] = {
      {t.person,
       {"IndiID", "Sex", "AFN", "Fullname", "Surname", "GivenName", "Note", "Updated", "SourID"},
       0},
      {t.family, {"FamilyID", "FamilyReleation", "IndiID"}, 0},
      {t.event,
       {"FamRefID", "MainRefID", "Info", "SourId", "Eventcode", "Note", "Date", "Location",
        "IsoDate"},
       1},
      {t.source, {"SourID", "Title", "Author", "Publication", "Text", "Note", "CallNumber"}, 0},
      {t.multimedia, {"MainRefID", "Format", "Title", "Filename", "Note", "RefTo"}, 0},
  };
  for (const Expected& e : layouts) {
    EXPECT_EQ(e.table.ColNames, e.names);
    EXPECT_EQ(e.table.ColCount, static_cast<int>(e.names.size()));
    EXPECT_EQ(e.table.KeyCol, e.key_col);
    EXPECT_EQ(RowsOf(e.table), NoRows(e.table));
  }
}

TEST(TableBuilder, SexIsTheFirstCharacterOrU) {
  const struct {
    std::string_view lines;
    std::string_view sex;
  } cases[] = {
      {"", "U"},
      {"1 SEX\n", "U"},
      {"1 SEX F\n", "F"},
      {"1 SEX Male\n", "M"},
      {"1 SEX F\n1 SEX\n", "U"},                // a later empty SEX resets it
      {"1 SEX F\n2 NOTE Record for x\n", "F"},  // only the SEX line itself
  };
  for (const auto& c : cases) {
    const Row person = PersonOf("0 @I1@ INDI\n" + std::string(c.lines));
    EXPECT_EQ(person[person::kSex], c.sex) << c.lines;
  }
}

TEST(TableBuilder, NamePartsComeFromTheFirstNameUnlessSurnOrGivnSetThem) {
  Row p = PersonOf("0 @I1@ INDI\n1 NAME John /Smith/\n1 NAME Johnny /Smyth/");
  EXPECT_EQ(p[person::kFullname], "Johnny /Smyth/");
  EXPECT_EQ(p[person::kSurname], "Smith");
  EXPECT_EQ(p[person::kGivenName], "John");

  p = PersonOf("0 @I1@ INDI\n1 NAME John /Smith/\n2 SURN Smyth\n2 GIVN Jon");
  EXPECT_EQ(p[person::kSurname], "Smyth");
  EXPECT_EQ(p[person::kGivenName], "Jon");

  // An empty part is filled by a later NAME; a name without slashes has no parts.
  p = PersonOf("0 @I1@ INDI\n1 NAME Smith\n1 NAME Ann /Lee/");
  EXPECT_EQ(p[person::kSurname], "Lee");
  EXPECT_EQ(p[person::kGivenName], "Ann");
  p = PersonOf("0 @I1@ INDI\n1 NAME John /Smith");
  EXPECT_EQ(p[person::kSurname], "Smith");
}

TEST(TableBuilder, PersonFieldsFromTheirStructures) {
  const Row p = PersonOf(
      "0 @I1@ INDI\n1 AFN 12X-4\n1 NOTE first\n1 NOTE @N1@\n"
      "1 SOUR @S5@\n1 NAME A /B/\n2 SOUR @S9@\n"
      "1 CHAN\n2 DATE 1 JAN 2004\n3 TIME 10:20:30");
  EXPECT_EQ(
      p, (Row{"i32:1", "U", "12X-4", "A /B/", "B", "A", "@N1@", "1 JAN 2004 10:20:30", "i32:5"}));
}

TEST(TableBuilder, ChangeDateWithoutTimeAndNotesAtAnyDepth) {
  const Row p = PersonOf("0 @I1@ INDI\n1 CHAN\n2 DATE 5 MAY 2001\n1 NOTE a\n2 SOUR b\n3 NOTE c");
  EXPECT_EQ(p[person::kUpdated], "5 MAY 2001");
  EXPECT_EQ(p[person::kNote], "c");
}

TEST(TableBuilder, EventInfoFromValueCauseAndType) {
  const BuiltTables t = BuildText(
      "0 @I4@ INDI\n1 DEAT Y\n2 CAUS fever\n1 OCCU Farmer\n2 TYPE Main\n1 BURI\n1 TITL Sir\n"
      "1 RESI\n2 NOTE lived\n2 SOUR @S3@\n3 NOTE not the event's");
  const std::vector<Row> expected = {
      {"i8:-1", "i32:4", "fever", "i8:-1", "DEAT", "", "", "", "00000000"},
      {"i8:-1", "i32:4", "Main", "i8:-1", "OCCU", "", "", "", "00000000"},
      {"i8:-1", "i32:4", "", "i8:-1", "BURI", "", "", "", "00000000"},
      {"i8:-1", "i32:4", "Sir", "i8:-1", "TITL", "", "", "", "00000000"},
      {"i8:-1", "i32:4", "", "i32:3", "RESI", "not the event's", "", "", "00000000"},
  };
  EXPECT_EQ(RowsOf(t.event), expected);
}

TEST(TableBuilder, PersonEventCitesASourceOnlyAtLevelTwo) {
  const BuiltTables t =
      BuildText("0 @I1@ INDI\n1 BIRT\n2 DATA\n3 SOUR @S7@\n1 DEAT\n2 SOUR @S8@\n3 SOUR @S9@");
  EXPECT_EQ(t.event.At(0, event::kSourId).Kind, CellKind::Int8);
  EXPECT_EQ(CellText(t.event, 1, event::kSourId), "i32:8");
}

TEST(TableBuilder, FamilyLinksBecomeEventRows) {
  const BuiltTables t =
      BuildText("0 @I2@ INDI\n1 FAMC @F3@\n2 PEDI birth\n1 FAMS @F12@\n1 FAMS @NONE@");
  const std::vector<Row> expected = {
      {"i32:500003", "i32:2", "birth", "i8:-1", "FAMC", "", "", "", "00000000"},
      {"i32:500012", "i32:2", "", "i8:-1", "FAMS", "", "", "", "00000000"},
      {"i32:2000500000", "i32:2", "", "i8:-1", "FAMS", "", "", "", "00000000"},
  };
  EXPECT_EQ(RowsOf(t.event), expected);
}

TEST(TableBuilder, PersonObjectsBecomeMultimediaRows) {
  const BuiltTables t = BuildText(
      "0 @I8@ INDI\n1 OBJE\n2 FORM jpeg\n2 TITL Portrait\n2 FILE a.jpg\n2 NOTE old\n"
      "2 DATE 1900\n1 OBJE @M1@\n0 @I9@ INDI\n1 OBJE\n2 FILE b.jpg");
  const std::vector<Row> expected = {
      {"i32:8", "jpeg", "Portrait", "a.jpg", "old", "INDI"},
      {"i32:8", "", "", "", "", "INDI"},
      {"i32:9", "", "", "b.jpg", "", "INDI"},
  };
  EXPECT_EQ(RowsOf(t.multimedia), expected);
  EXPECT_EQ(RowOf(t.person, 0)[person::kNote], "");  // the object's NOTE is not the person's
}

TEST(TableBuilder, EventWithoutDateKeepsEmptyDateAndNoKey) {
  const BuiltTables t = BuildText("0 @I1@ INDI\n1 BIRT\n2 PLAC Bergen\n1 DEAT\n2 DATE ABT 1900");
  EXPECT_EQ(RowOf(t.event, 0)[event::kDate], "");
  EXPECT_EQ(RowOf(t.event, 0)[event::kIsoDate], "00000000");
  EXPECT_EQ(RowOf(t.event, 1)[event::kIsoDate], "19000000");
}

}  // namespace
}  // namespace voziroz
