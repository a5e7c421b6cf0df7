// Family and source records, identifiers and name parts, odd input and finishing of the table
// builder.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/table_builder.h"
#include "engine/table_layouts.h"
#include "tests/engine/built_tables.h"
#include "tests/engine/test_lines.h"

namespace voziroz {
namespace {

using namespace testkit;

TEST(TableBuilderFamily, MembersAndFamilyEvents) {
  const BuiltTables t = BuildText(
      "0 @F3@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I4@\n2 PEDI adopted\n1 CHIL @I5@\n"
      "1 MARR yes\n2 DATE 1 JUN 1875\n2 PLAC Oslo\n2 TYPE civil\n2 CAUS none\n2 NOTE n\n"
      "3 SOUR @S2@\n1 CENS\n2 DATE 1900\n1 DIV\n1 ENGA");
  const std::vector<Row> members = {{"i32:500003", "u8:0", "i32:1"},
                                    {"i32:500003", "u8:1", "i32:2"},
                                    {"i32:500003", "u8:3", "i32:4"},
                                    {"i32:500003", "u8:3", "i32:5"}};
  EXPECT_EQ(RowsOf(t.family), members);
  const std::vector<Row> events = {
      {"i32:500003", "i32:500003", "yes", "i32:2", "MARR", "n", "1 JUN 1875", "Oslo", "18750601"},
      {"i32:500003", "i32:500003", "", "i8:-1", "DIV", "", "", "", "00000000"},
      {"i32:500003", "i32:500003", "", "i8:-1", "ENGA", "", "", "", "00000000"},
  };
  EXPECT_EQ(RowsOf(t.event), events);
}

TEST(TableBuilderFamily, IdentifiersThatDoNotFitAfterTheOffsetGiveMinusOne) {
  RecordIds ids;
  EXPECT_EQ(ids.FamilyIdOf("@F1@"), 500001);
  EXPECT_EQ(ids.FamilyIdOf("F"), 499999);  // no identifier, no digits: -1 plus the offset
  EXPECT_EQ(ids.FamilyIdOf("@F2147000000@"), -1);
  const BuiltTables t = BuildText("0 @F2147483000@ FAM\n1 HUSB @I1@");
  EXPECT_EQ(RowOf(t.family, 0), (Row{"i32:-1", "u8:0", "i32:1"}));
}

TEST(TableBuilderSource, FieldsAtAnyDepthAndCallNumberEmptyWithoutCaln) {
  const BuiltTables t = BuildText(
      "0 @S2@ SOUR\n1 TITL Census\n1 AUTH Office\n1 PUBL Oslo 1900\n1 DATA\n2 TEXT page 4\n"
      "1 NOTE n\n0 @S1@ SOUR\n1 REPO @R1@\n2 CALN 12-B\n0 @SRC@ SOUR");
  const std::vector<Row> expected = {
      {"i32:1", "", "", "", "", "", "12-B"},
      {"i32:2", "Census", "Office", "Oslo 1900", "page 4", "n", "(empty)"},
      {"i32:2000000000", "", "", "", "", "", "(empty)"},  // @SRC@: a number of its own
  };
  EXPECT_EQ(RowsOf(t.source), expected);
}

TEST(TableBuilderSource, ObjectsOfASourceLeaveItsTitleAlone) {
  const BuiltTables t = BuildText(
      "0 @S7@ SOUR\n1 TITL Book\n1 OBJE\n2 FILE photo.jpg\n2 TITL Portrait\n2 AUTH x\n"
      "1 NOTE after\n2 TITL Later");
  EXPECT_EQ(RowsOf(t.multimedia),
            (std::vector<Row>{{"i32:7", "", "Portrait", "photo.jpg", "", "SOUR"}}));
  EXPECT_EQ(RowOf(t.source, 0), (Row{"i32:7", "Later", "", "", "", "after", "(empty)"}));
}

TEST(TableBuilderRecords, OtherRecordsChangeNoTable) {
  const BuiltTables t = BuildText(
      "0 HEAD\n1 SOUR PAF\n2 NAME x\n1 NOTE n\n0 @U1@ SUBM\n1 NAME Me\n1 OBJE\n2 FILE f\n"
      "0 @R1@ REPO\n1 NAME Archive\n1 CALN 9\n0 @N1@ NOTE text\n1 SOUR @S1@\n"
      "0 @M1@ OBJE\n1 FILE m.jpg\n1 TITL t\n0 TRLR");
  for (const tSimpleTable* table : {&t.person, &t.event, &t.family, &t.source, &t.multimedia})
    EXPECT_EQ(RowsOf(*table), NoRows(*table));
}

TEST(TableBuilderRecords, LinesBelowADroppedLineChangeNothing) {
  const struct {
    std::string_view lines;  // of a person with a birth and an occupation
    int col;
    std::string_view expected;
  } person_cases[] = {
      {"1 SEX M\n1 _MILT x\n2 PLAC Portsmouth\n", person::kSex, "M"},
      {"1 NAME A /B/\n2 ROMN x\n3 GIVN C\n", person::kGivenName, "A"},
      {"1 NOTE n\n0 @X1@ _PLACE\n1 NOTE stray\n", person::kNote, "n"},
      {"1 NOTE n\n0 @N1@ NOTE text\n1 CONC more\n1 NOTE stray\n", person::kNote, "n"},
      {"1 SEX M\n2 SOUR @S454@\n3 PAGE Database online.\n", person::kSex, "M"},
      {"1 AFN 12X\n2 SOUR @S1@\n3 PAGE p\n", person::kAFN, "12X"},
  };
  for (const auto& c : person_cases) {
    const BuiltTables t = BuildParsed("0 @I1@ INDI\n" + std::string(c.lines));
    EXPECT_EQ(RowOf(t.person, 0)[c.col], c.expected) << c.lines;
  }
  const BuiltTables t = BuildParsed(
      "0 @I1@ INDI\n1 BIRT\n2 DATE 1850\n2 SOUR @S1@\n3 DATA\n4 DATE 1999\n"
      "1 OCCU Carpenter\n1 _FSFTID x\n2 TYPE Fake\n");
  EXPECT_EQ(RowOf(t.event, 0)[event::kDate], "1850");
  EXPECT_EQ(RowOf(t.event, 1)[event::kInfo], "Carpenter");
}

TEST(TableBuilderRecords, EveryLevelFollowsTheRules) {
  // Levels 6 and deeper, and lines without a level (-1), count as lines below level 1.
  const BuiltTables t = BuildText(
      "0 @I1@ INDI\n1 BIRT\n6 PLAC Deep\n1 NOTE a\n99 NOTE b\n1 OBJE\n-9 HEAD\nFILE nolevel.jpg");
  EXPECT_EQ(RowOf(t.event, 0)[event::kLocation], "Deep");
  EXPECT_EQ(RowOf(t.person, 0)[person::kNote], "b");
  EXPECT_EQ(RowOf(t.multimedia, 0)[multimedia::kFilename], "nolevel.jpg");
}

TEST(TableBuilderRecords, DetailLinesBeforeAnyRowOfTheirTableChangeNothing) {
  // Each INDI below inherits a level-1 tag (BIRT, FAMC, OBJE) from the header, so its level-2
  // lines address an EVENT or MULTIMEDIA row that has not been made.
  const char* const cases[] = {
      "0 HEAD\n1 BIRT\n0 @I1@ INDI\n2 DATE 1 JAN 1900\n2 PLAC Oslo\n2 SOUR @S1@\n2 NOTE n",
      "0 HEAD\n1 FAMC\n0 @I1@ INDI\n2 PEDI birth",
      "0 HEAD\n1 OBJE\n0 @I1@ INDI\n2 FILE a.jpg",
      "0 HEAD\n1 MARR\n0 @F1@ FAM\n2 DATE 1900",
      "0 HEAD\n1 OBJE\n0 @S1@ SOUR\n2 TITL t",
  };
  for (const char* text : cases) {
    const BuiltTables t = BuildText(text);
    EXPECT_EQ(RowsOf(t.event), NoRows(t.event)) << text;
    EXPECT_EQ(RowsOf(t.multimedia), NoRows(t.multimedia)) << text;
  }
}

TEST(TableBuilderRecords, EstimatesBeyondTheLineCountReserveNoMore) {
  TLines lines = LinesOf("0 @I1@ INDI\n1 BIRT", std::numeric_limits<std::int32_t>::max());
  const BuiltTables t = Build(lines);
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.person.LastRow, 0);
  EXPECT_EQ(t.event.RowsAllocated(), 1);
}

TEST(TableBuilderRecords, PersonsBeyondTheLimitAreSkippedWhole) {
  TLines lines;
  for (int i = 1; i <= kMaxPersonRows + 1; ++i)
    AddLine(lines, "0 @I" + std::to_string(i) + "@ INDI");
  AddLine(lines, "1 NAME Late /Comer/");
  AddLine(lines, "1 BIRT");
  AddLine(lines, "0 @F1@ FAM");
  AddLine(lines, "1 HUSB @I7@");
  const BuiltTables t = Build(lines);
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.person.LastRow, kMaxPersonRows - 1);
  EXPECT_EQ(CellText(t.person, t.person.LastRow, person::kIndiID), "i32:500001");
  EXPECT_EQ(CellText(t.person, t.person.LastRow, person::kFullname), "");
  EXPECT_EQ(RowsOf(t.event), NoRows(t.event));
  EXPECT_EQ(RowOf(t.family, 0), (Row{"i32:500001", "u8:0", "i32:7"}));  // next record counts
}

TEST(TableBuilderRecords, EqualKeysEndInTheOrderOfTheQuicksortSteps) {
  // EVENT keys in file order 3, 3, 3, 1, 3 (@X3@ is person 3 too). Worked by hand: the first
  // partition exchanges rows 1 and 3, the left part then rows 0 and 1, giving 3, 0, 2, 1, 4.
  const BuiltTables t =
      BuildText("0 @I3@ INDI\n1 BIRT\n1 CHR\n1 DEAT\n0 @I1@ INDI\n1 BIRT\n0 @X3@ INDI\n1 BURI");
  std::vector<std::string> order;
  for (int r = 0; r <= t.event.LastRow; ++r)
    order.push_back(CellText(t.event, r, event::kMainRefID) + " " +
                    CellText(t.event, r, event::kEventcode));
  EXPECT_EQ(order, (std::vector<std::string>{"i32:1 BIRT", "i32:3 BIRT", "i32:3 DEAT", "i32:3 CHR",
                                             "i32:3 BURI"}));
}

TEST(TableBuilderRecords, BuildingTwiceGivesEqualTables) {
  const TLines lines = LinesOf(
      "0 @I2@ INDI\n1 NAME B /C/\n1 BIRT\n2 DATE 1900\n1 FAMS @F1@\n1 OBJE\n2 FILE x\n"
      "0 @I1@ INDI\n1 DEAT\n0 @F1@ FAM\n1 HUSB @I2@\n1 MARR\n0 @S1@ SOUR\n1 TITL T");
  BuiltTables again = Build(lines);
  const BuiltTables first = Build(lines);
  BuildInto(lines, again);  // into tables that already hold a build
  ASSERT_TRUE(first.ok && again.ok);
  EXPECT_EQ(RowsOf(again.person), RowsOf(first.person));
  EXPECT_EQ(RowsOf(again.event), RowsOf(first.event));
  EXPECT_EQ(RowsOf(again.family), RowsOf(first.family));
  EXPECT_EQ(RowsOf(again.source), RowsOf(first.source));
  EXPECT_EQ(RowsOf(again.multimedia), RowsOf(first.multimedia));
  EXPECT_EQ(again.event.LastRow, 3);
}

TEST(IdOf, DigitsOfTheIdentifier) {
  const struct {
    std::string_view text;
    std::int32_t id;
  } cases[] = {
      {"@I12@", 12},      {"@F0012@", 12},        {"@SRC@", -1},
      {"", -1},           {"@I1-2@", 12},         {"2147483647", 2147483647},
      {"2147483648", -1}, {"@I99999999999@", -1}, {"0000000000007", 7},
      {"@I0@", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(IdOf(c.text), c.id) << c.text;
}

TEST(RecordIds, IdentifiersWithoutANumberAreNumberedInTheOrderFirstMet) {
  // @X@ is cited before any event row exists: it writes nowhere, so it is not numbered there.
  const BuiltTables t = BuildText(
      "0 HEAD\n1 BIRT\n0 @Abe_Simpson@ INDI\n2 SOUR @X@\n1 FAMS @FAMILY@\n"
      "1 SOUR Parish register\n0 @I152733931767@ INDI\n1 FAMC @FAMILY@\n1 BIRT\n2 SOUR @SRC@\n"
      "0 @FAMILY@ FAM\n1 HUSB @Abe_Simpson@\n1 CHIL @I152733931767@\n0 @SRC@ SOUR\n"
      "0 @X@ SOUR\n0 @I7@ INDI\n1 SOUR @@");
  std::vector<std::string> ids;
  for (const tSimpleTable* table : {&t.person, &t.family, &t.event, &t.source})
    for (int r = 0; r <= table->LastRow; ++r)
      for (int c = 0; c < table->ColCount; ++c)
        if (table->At(r, c).Kind == CellKind::Int32) ids.push_back(CellText(*table, r, c));
  const std::string abe = "i32:2000000000", family = "i32:2000500001", i152 = "i32:2000000002",
                    src = "i32:2000000003";
  EXPECT_EQ(ids, (std::vector<std::string>{"i32:7", "i32:-1", abe, "i32:-1", i152,  // persons
                                           family, abe, family, i152,               // members
                                           family, abe, family, i152, i152, src,    // events
                                           src, "i32:2000000004"}));                // sources
}

TEST(NameParts, SurnameBetweenSlashesGivenNameBefore) {
  const struct {
    std::string_view name, surname, given;
  } cases[] = {
      {"John /Smith/", "Smith", "John"},
      {"/Smith/ John", "Smith", ""},
      {"John /Smith/ Jr.", "Smith", "John"},
      {"  John  / Smith  /", "Smith", "John"},
      {"John /Smith", "Smith", "John"},  // no closing slash: the rest
      {"John Smith", "", ""},            // no slash: no parts
      {"John //", "", "John"},
      {"/", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SurnameOf(c.name), c.surname) << c.name;
    EXPECT_EQ(GivenNameOf(c.name), c.given) << c.name;
  }
}

}  // namespace
}  // namespace voziroz
