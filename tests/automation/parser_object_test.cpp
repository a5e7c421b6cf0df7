// The Parser and its tables, driven by name as a script drives them.
#include "automation/parser_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "automation/table_object.h"
#include "tests/automation/call_helpers.h"
#include "tests/temp_dir.h"

namespace voziroz {
namespace {

constexpr const char* kFamily =
    "0 HEAD\r\n1 SOUR FTW\r\n2 NAME Family Tree Writer\r\n2 VERS 5.2\r\n1 GEDC\r\n2 VERS 5.5\r\n"
    "1 CHAR ANSI\r\n0 @S1@ SUBM\r\n1 NAME Ann Lee\r\n"
    "0 @I1@ INDI\r\n1 NAME John /Smith/\r\n1 SEX M\r\n1 BIRT\r\n2 DATE 1 JAN 1900\r\n"
    "1 FAMS @F1@\r\n0 @I2@ INDI\r\n1 NAME Mary /Jones/\r\n1 SEX F\r\n1 FAMS @F1@\r\n"
    "0 @I3@ INDI\r\n1 NAME Tom /Smith/\r\n1 FAMC @F1@\r\n0 @I4@ INDI\r\n1 NAME Ann /Smith/\r\n"
    "1 FAMC @F1@\r\n0 @F1@ FAM\r\n1 HUSB @I1@\r\n1 WIFE @I2@\r\n1 CHIL @I3@\r\n1 CHIL @I4@\r\n"
    "0 TRLR\r\n";
constexpr int kFamilyLines = 30;  // the trailer is not a line
constexpr const char* kSingle = "0 HEAD\n0 @I7@ INDI\n1 NAME Solo /Person/\n0 TRLR\n";

Variant Text(const char* s) {
  return Variant::Text(s);
}

class ParserTest : public ::testing::Test {
 protected:
  std::string Write(const char* name, const char* text) { return dir_.Write(name, text); }

  Variant Call(std::string_view name, std::initializer_list<Variant> args = {}) {
    return CallByName(*parser_, name, args);
  }
  void Open(const std::string& file) { Call("Open", {Variant::Text(file)}); }
  bool IsOpen() { return Call("IsOpen").AsBool(); }
  std::int32_t LineCount() { return Call("LineCount").AsI4(); }
  Variant Line(std::int32_t n) { return Call("Line", {Variant::I4(n)}); }
  Variant GetTable(const char* name, const char* parameter) {
    return Call("GetTable", {Text(name), Text(parameter)});
  }
  ObjectPtr<TTable> TableOn(const char* name) {
    ObjectPtr<TTable> table = MakeObject<TTable>();
    CallByName(*table, "Open", {Text(name), Variant::Object(parser_)});
    return table;
  }

  static Variant Trailer() {
    return Variant::Array(VariantArray({Variant::UI1(0), Text("TRLR"), Text(""), Variant()}));
  }
  static Variant LineOf(int level, const char* tag, const char* value) {
    return Variant::Array(VariantArray({Variant::I4(level), Text(tag), Text(value), Variant()}));
  }

  testing::TempDir dir_;
  const std::string family_ = Write("family.ged", kFamily);
  const std::string single_ = Write("single.ged", kSingle);
  ObjectPtr<TParser> parser_ = MakeObject<TParser>();
};

bool AllEmpty(const Variant& grid) {
  for (const Variant& v : grid.AsArray().Elements())
    if (!(v == Variant())) return false;
  return grid.AsArray().Length() == 21 && grid.AsArray().Columns() == 3;
}

TEST_F(ParserTest, NewParser) {
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(LineCount(), 0);
  EXPECT_EQ(Line(0), Trailer());
  EXPECT_EQ(Call("Close"), Variant());
  EXPECT_EQ(Call("TableNames"),
            Variant::Array(VariantArray({Text("PERSON"), Text("EVENT"), Text("FAMILY"),
                                         Text("SOURCE"), Text("MULTIMEDIA"), Text("GEDCOM")})));
  EXPECT_EQ(Call("Execute"), Variant::Bool(false));
  EXPECT_EQ(Call("DataLink", {Text("PERSON")}), Variant::I4(0));
  EXPECT_EQ(GetTable("PERSON", "header"), Variant::NullArray());
  EXPECT_TRUE(AllEmpty(Call("Metadata")));
}

TEST_F(ParserTest, OpenReadsLinesAndHeader) {
  Open(family_);
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(LineCount(), kFamilyLines);
  EXPECT_EQ(Line(0), LineOf(0, "HEAD", ""));
  EXPECT_EQ(Line(2), LineOf(2, "NAME", "Family Tree Writer"));
  EXPECT_EQ(Line(kFamilyLines - 1), LineOf(1, "CHIL", "@I4@"));
  EXPECT_EQ(Line(kFamilyLines), Trailer());
  EXPECT_EQ(Line(-1), Trailer()) << "a negative number gives the trailer as well";
  EXPECT_EQ(Line(-2147483647 - 1), Trailer());
  const Variant grid = Call("Metadata");
  EXPECT_EQ(grid.AsArray().At(5, 2), Variant::I4(kFamilyLines));
  EXPECT_EQ(grid.AsArray().At(6, 2), Text("Family Tree Writer FTW 5.2"));
  EXPECT_EQ(grid.AsArray().At(8, 2), Text("GEDCOM  5.5"));
  EXPECT_EQ(grid.AsArray().At(13, 2), Text("Ann Lee"));
}

TEST_F(ParserTest, OpenFailuresLeaveTheParserClosedAndTheLinesAsTheyWere) {
  Open(family_);
  const std::string unreadable[] = {(dir_.path() / "missing.ged").string(), dir_.path().string(),
                                    Write("unknown.ged", "0 FOO\n1 BAR x\n")};
  for (const std::string& file : unreadable) {
    Open(family_);
    Open(file);
    EXPECT_FALSE(IsOpen()) << file;
    EXPECT_EQ(LineCount(), 0);
    EXPECT_EQ(Line(2), LineOf(2, "NAME", "Family Tree Writer")) << "the last good file's lines";
    EXPECT_TRUE(AllEmpty(Call("Metadata")));
  }
  Call("Open", {Variant::Null()});
  EXPECT_FALSE(IsOpen()) << "a name that is no text fails Open without an error";
  const ObjectPtr<TTable> lines = TableOn("GEDCOM");
  EXPECT_EQ(CallByName(*lines, "RowCount"), Variant::I4(kFamilyLines));
}

TEST_F(ParserTest, EmptyFileOpensWithNoLines) {
  Open(Write("empty.ged", ""));
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(LineCount(), 0);
  const Variant grid = Call("Metadata");
  EXPECT_EQ(grid.AsArray().At(5, 2), Variant::I4(0));
  EXPECT_EQ(grid.AsArray().At(0, 2), Variant::I4(1));
  EXPECT_EQ(grid.AsArray().At(20, 2), Text("LineNb,Level,Keyword,Value"));
}

TEST_F(ParserTest, CloseKeepsLinesButDropsTables) {
  Open(family_);
  EXPECT_EQ(Call("Execute"), Variant::Bool(true));
  EXPECT_NE(Call("DataLink", {Text("PERSON")}), Variant::I4(0));
  Call("Close");
  EXPECT_FALSE(IsOpen());
  EXPECT_EQ(LineCount(), 0);
  EXPECT_EQ(Line(0), LineOf(0, "HEAD", ""));
  EXPECT_EQ(Call("DataLink", {Text("PERSON")}), Variant::I4(0));
  EXPECT_EQ(GetTable("PERSON", "rows"), Variant::NullArray());
  EXPECT_EQ(Call("Execute"), Variant::Bool(false));
  EXPECT_TRUE(AllEmpty(Call("Metadata")));
}

TEST_F(ParserTest, GetTableParameters) {
  Open(family_);
  ASSERT_EQ(Call("Execute"), Variant::Bool(true));
  const Variant names = GetTable("PERSON", "");
  ASSERT_EQ(names.Kind(), VariantKind::Array);
  EXPECT_EQ(names.AsArray().Length(), 9);
  EXPECT_EQ(names.AsArray()[0], Text("IndiID"));
  const Variant rows = GetTable("PERSON", "rows");
  ASSERT_EQ(rows.AsArray().Dimensions(), 2);
  EXPECT_EQ(rows.AsArray().Length(), 4);
  EXPECT_EQ(rows.AsArray().Columns(), 9);
  const Variant fourth = Variant::Array(VariantArray(std::vector<Variant>(
      rows.AsArray().Elements().begin() + 27, rows.AsArray().Elements().end())));
  const struct {
    const char* name;
    const char* parameter;
    Variant expected;
  } cases[] = {
      {"person", "ROWS", rows},
      {"PERSON", "3", fourth},
      {"PERSON", " 3", fourth},
      {"PERSON", "$3", fourth},
      {"PERSON", "0x3", fourth},
      {"PERSON", "fieldnames", names},
      {"PERSON", "HEADER", names},
      {"PERSON", "-12345", Variant::NullArray()},
      {"PERSON", "abc", Variant::NullArray()},
      {"PERSON", "3 ", Variant::NullArray()},
      {"GEDCOM", "rows", Variant::NullArray()},
      {"NOSUCH", "", Variant::NullArray()},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetTable(c.name, c.parameter), c.expected) << c.name << " " << c.parameter;
  EXPECT_EQ(Call("GetTable", {Text("Person")}), names) << "an omitted parameter acts as empty";
  for (const char* bad : {"-1", "4", "2147483647"}) {
    const ErrorInfo error = ErrorOf([&] { GetTable("PERSON", bad); });
    EXPECT_EQ(error.Description, "Range check error") << bad;
    EXPECT_EQ(error.Source, "Voziroz.Parser");
    EXPECT_EQ(error.Number, kUnexpected);
  }
  EXPECT_EQ(ErrorOf([&] {
              Call("GetTable", {Variant::Null(), Text("rows")});
            }).Description,
            "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(ErrorOf([&] { Call("DataLink", {Variant::Null()}); }).Description,
            "Could not convert variant of type (Null) into type (String)");
}

TEST_F(ParserTest, SecondOpenWithoutExecuteKeepsTheFirstTables) {
  Open(family_);
  Call("Execute");
  const Variant first = GetTable("PERSON", "rows");
  Open(single_);
  EXPECT_TRUE(IsOpen());
  EXPECT_EQ(LineCount(), 3);
  EXPECT_EQ(GetTable("PERSON", "rows"), first);
  Call("Execute");
  EXPECT_EQ(GetTable("PERSON", "rows").AsArray().Length(), 1);
}

TEST_F(ParserTest, ExecuteTwiceGivesEqualTablesAndTablesKeepTheirSet) {
  Open(family_);
  Call("Execute");
  const ObjectPtr<TTable> person = TableOn("PERSON");
  const Variant first = GetTable("PERSON", "rows");
  const Variant row0 = CallByName(*person, "Row", {Variant::I4(0)});
  Open(single_);
  Call("Execute");
  Open(family_);
  Call("Execute");
  EXPECT_EQ(GetTable("PERSON", "rows"), first);
  EXPECT_EQ(CallByName(*person, "RowCount"), Variant::I4(3));
  Open(single_);
  Call("Execute");
  EXPECT_EQ(CallByName(*person, "RowCount"), Variant::I4(3)) << "still the first set";
  Call("Close");
  EXPECT_EQ(CallByName(*person, "Row", {Variant::I4(0)}), row0);
  parser_ = ObjectPtr<TParser>();
  EXPECT_EQ(CallByName(*person, "Row", {Variant::I4(0)}), row0) << "after the parser's release";
  EXPECT_EQ(CallByName(*person, "FindRow", {Variant::I4(3)}), Variant::I4(2));
}

TEST_F(ParserTest, TableObjectsOnTheParser) {
  Open(family_);
  EXPECT_FALSE(CallByName(*TableOn("PERSON"), "IsOpen").AsBool()) << "before Execute";
  Call("Execute");
  const ObjectPtr<TTable> person = TableOn("person");
  EXPECT_EQ(CallByName(*person, "ColCount"), Variant::I4(9));
  EXPECT_EQ(CallByName(*person, "KeyColname"), Text("IndiID"));
  EXPECT_FALSE(CallByName(*TableOn("NOSUCH"), "IsOpen").AsBool());
  const ObjectPtr<TTable> lines = TableOn("gedcom");
  EXPECT_EQ(CallByName(*lines, "RowCount"), Variant::I4(kFamilyLines));
  EXPECT_EQ(CallByName(*lines, "KeyColname"), Text("LineNb"));
  EXPECT_EQ(
      CallByName(*lines, "Row", {Variant::I4(1)}),
      Variant::Array(VariantArray({Variant::I4(1), Variant::I4(1), Text("SOUR"), Text("FTW")})));
  EXPECT_EQ(ErrorOf([&] { CallByName(*lines, "Row", {Variant::I4(kFamilyLines)}); }).Description,
            "Range check error");
  EXPECT_EQ(CallByName(*lines, "FindRow", {Variant::I4(kFamilyLines + 5)}), Variant::I4(-1));
}

TEST_F(ParserTest, EveryMemberOfTheInterfaceHasAHandler) {
  const MemberTable& members = parser_->Members();
  for (std::size_t i = 0; i < members.Interface().Members.size(); ++i)
    EXPECT_NE(members.HandlerAt(i), nullptr) << members.Interface().Members[i].Name;
}

}  // namespace
}  // namespace voziroz
