#include "automation/metadata.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/gedcom_reader.h"

namespace voziroz {
namespace {

struct LineText {
  int level;
  std::string_view tag;
  std::string_view value;
};

// Pre-parsed lines as the reader would store them (values already joined).
TLines LinesOf(const std::vector<LineText>& rows) {
  TLines lines;
  std::string text;
  for (const LineText& row : rows) {
    TLine line;
    line.Offset = text.size();
    line.Length = static_cast<std::uint32_t>(row.value.size());
    line.Level = static_cast<std::int8_t>(row.level);
    line.Code = TagToCode(row.tag);
    lines.Lines.push_back(line);
    text += row.value;
  }
  lines.Text = TextBuffer(text);
  lines.Count = static_cast<std::int32_t>(rows.size());
  return lines;
}

TEST(ReadHeaderInfo, HeaderItems) {
  const struct {
    std::vector<LineText> lines;
    std::string TLines::*field;
    std::string expected;
  } cases[] = {
      {{{0, "HEAD", ""}, {1, "SOUR", "FTW"}, {2, "NAME", "Family Tree Writer"}, {2, "VERS", "5.2"}},
       &TLines::Source,
       "Family Tree Writer FTW 5.2"},
      {{{0, "HEAD", ""}, {1, "GEDC", "x"}, {2, "VERS", "5.5"}, {2, "FORM", "LINEAGE-LINKED"}},
       &TLines::Format,
       "GEDCOM  5.5"},
      {{{0, "HEAD", ""}, {1, "DATE", "1 JAN 2005"}, {2, "TIME", "10:00:00"}},
       &TLines::Filedate,
       "1 JAN 2005 10:00:00"},
      {{{0, "HEAD", ""}, {1, "LANG", "English \t"}}, &TLines::Language, "English"},
      {{{0, "HEAD", ""}, {1, "CHAR", " ANSEL "}}, &TLines::Charset, " ANSEL "},
      {{{0, "HEAD", ""}, {1, "DEST", "ANSTFILE"}}, &TLines::Target, "ANSTFILE"},
      {{{0, "HEAD", ""}, {1, "FILE", "royal.ged"}}, &TLines::Filename, "royal.ged"},
      {{{0, "HEAD", ""}, {1, "NOTE", " first\r\nsecond "}}, &TLines::Notes, "first\r\nsecond"},
      {{{0, "HEAD", ""}, {1, "NOTE", "note"}, {2, "CONT", "below"}}, &TLines::Notes, "below"},
      {{{0, "HEAD", ""}, {1, "FILE", "a.ged"}, {0, "SUBM", ""}, {1, "FILE", "b.ged"}},
       &TLines::Filename,
       "a.ged"},
      {{{0, "INDI", ""}, {0, "HEAD", ""}, {1, "FILE", "late.ged"}}, &TLines::Filename, ""},
      {{{0, "HEAD", ""}, {1, "SOUR", "X"}, {6, "VERS", "deep"}, {1, "FILE", "after.ged"}},
       &TLines::Source,
       "X deep"},
      {{{0, "HEAD", ""}, {1, "SOUR", "X"}, {7, "NOTE", "n"}, {1, "FILE", "after.ged"}},
       &TLines::Filename,
       "after.ged"},
  };
  for (const auto& c : cases) {
    TLines lines = LinesOf(c.lines);
    ReadHeaderInfo(lines);
    EXPECT_EQ(lines.*c.field, c.expected) << c.expected;
  }
}

TEST(ReadHeaderInfo, SubmitterLinesBeforeTheFirstPerson) {
  TLines lines = LinesOf({{0, "HEAD", ""},
                          {0, "SUBM", "@S0@"},
                          {1, "NAME", "Old"},
                          {0, "SUBM", "@S1@"},
                          {1, "NAME", "Ann Lee"},
                          {1, "ADDR", "1 Main St\r\nSpringfield"},
                          {2, "CTRY", "US"},
                          {1, "PHON", "555"},
                          {0, "INDI", "@I1@"},
                          {0, "SUBM", "@S2@"},
                          {1, "NAME", "Too late"}});
  lines.Source = "stale";
  ReadHeaderInfo(lines);
  EXPECT_EQ(lines.Submitter, "Ann Lee\r\n1 Main St\r\nSpringfield\r\n555\r\n");
  EXPECT_EQ(lines.Source, "") << "every string is emptied first";
  const Variant grid = MetadataGrid(lines, true);
  EXPECT_EQ(grid.AsArray().At(13, 2), Variant::Text("Ann Lee\r\n1 Main St\r\nSpringfield\r\n555"));
}

TEST(ReadHeaderInfo, SkipsLinesBelowADroppedLine) {
  std::optional<TLines> lines = PreParseLines(TextBuffer(
      "0 HEAD\n1 SOUR PAF\n1 _X\n2 VERS 9\n2 INDI x\n1 FILE a.ged\n0 @U1@ SUBM\n1 NAME Ann\n"
      "1 _Y\n2 PHON 555\n0 TRLR\n"));
  ReadHeaderInfo(*lines);  // the INDI below _X does not end the header either
  EXPECT_EQ(lines->Source + lines->Filename + lines->Submitter, "PAFa.gedAnn\r\n");
}

TEST(MetadataGrid, ClosedParserGivesAnEmptyGrid) {
  const TLines lines = LinesOf({{0, "HEAD", ""}});
  const Variant grid = MetadataGrid(lines, false);
  ASSERT_EQ(grid.AsArray().Dimensions(), 2);
  EXPECT_EQ(grid.AsArray().Length(), 21);
  EXPECT_EQ(grid.AsArray().Columns(), 3);
  for (const Variant& v : grid.AsArray().Elements()) EXPECT_EQ(v, Variant());
}

TEST(MetadataGrid, LabelsValuesAndColumnLists) {
  TLines lines;  // what the fallback text gives: no lines, every estimate 1
  const Variant value = MetadataGrid(lines, true);
  const VariantArray& grid = value.AsArray();
  const auto text = [](const char* s) { return Variant::Text(s); };
  EXPECT_EQ(grid.At(0, 0), text("Row Estimate"));
  EXPECT_EQ(grid.At(0, 1), text("Person"));
  EXPECT_EQ(grid.At(3, 1), text("Event "));
  EXPECT_EQ(grid.At(18, 1), text("Event "));
  for (int r = 0; r < 5; ++r) EXPECT_EQ(grid.At(r, 2), Variant::I4(1));
  EXPECT_EQ(grid.At(5, 1), text("Lines"));
  EXPECT_EQ(grid.At(5, 2), Variant::I4(0));
  for (int r = 6; r <= 14; ++r) EXPECT_EQ(grid.At(r, 2), text("")) << r;
  EXPECT_EQ(grid.At(14, 1), text("Notes"));
  EXPECT_EQ(grid.At(15, 2), text("IndiID,Sex,AFN,Fullname,Surname,Givenname,Note,Updated,SourID"));
  EXPECT_EQ(grid.At(17, 2), text("FamilyID,FamilyRelation,IndiID"));
  EXPECT_EQ(grid.At(19, 2), text("IndiID,Format,Title,Filename,Note,RefTo"));
  EXPECT_EQ(grid.At(20, 0), text("Columns"));
  EXPECT_EQ(grid.At(20, 1), text("GEDCOM"));
  EXPECT_EQ(grid.At(20, 2), text("LineNb,Level,Keyword,Value"));
}

TEST(MetadataGrid, EstimatesInPersonSourceFamilyEventMultimediaOrder) {
  TLines lines;
  lines.PersonEstimate = 10;
  lines.SourceEstimate = 20;
  lines.FamilyEstimate = 30;
  lines.EventEstimate = 40;
  lines.MultimediaEstimate = 50;
  const Variant value = MetadataGrid(lines, true);
  const VariantArray& grid = value.AsArray();
  for (int r = 0; r < 5; ++r) EXPECT_EQ(grid.At(r, 2), Variant::I4(10 * (r + 1)));
}

}  // namespace
}  // namespace voziroz
