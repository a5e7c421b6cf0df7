// PreParseLines: splitting, levels, tags, values, record lines, continuations, estimates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gedcom_reader.h"

namespace voziroz {
namespace {

using Rows = std::vector<std::string>;

// Each stored line as "level TAG value", with a "*" first when it stands below a dropped line.
Rows RowsOf(const TLines& lines) {
  Rows rows;
  for (std::int32_t i = 0; i < lines.Count; ++i) {
    const TLine& line = lines.Lines[i];
    rows.push_back((line.BelowDropped ? "*" : "") + std::to_string(line.Level) + ' ' +
                   std::string(CodeToTag(line.Code)) + ' ' + std::string(lines.Value(line)));
  }
  return rows;
}

TLines Parse(std::string_view text) {
  std::optional<TLines> lines = PreParseLines(TextBuffer(text));
  EXPECT_TRUE(lines) << text;
  return lines ? std::move(*lines) : TLines{};
}

struct Case {
  const char* what;
  std::string text;  // a "0 TRLR" line is added at its end
  Rows rows;
};

void ExpectRows(const Case& c) {
  EXPECT_EQ(RowsOf(Parse(c.text + "0 TRLR\r\n")), c.rows) << c.what;
}

TEST(PreParseLines, TakesLinesApart) {
  const Case cases[] = {
      {"name", "1 NAME John /Smith/\r\n", {"1 NAME John /Smith/"}},
      {"two blanks keep one", "1 NAME  John\r\n", {"1 NAME  John"}},
      {"no value", "0 HEAD\r\n", {"0 HEAD "}},
      {"trailing blank", "0 HEAD \r\n", {"0 HEAD "}},
      {"value keeps its blanks", "1 NOTE  a  \r\n", {"1 NOTE  a  "}},
      {"two-digit level leaves no tag", "10 NAME X\r\n", {}},
      {"indented line", "  1 NAME X\r\n", {}},
      {"tab after the level", "1\tNAME X\r\n", {"1 NAME X"}},
      {"signed level", "-5NAME X\r\n+7NAME Y\r\n", {"-5 NAME X", "7 NAME Y"}},
      {"two-digit level glued to its tag", "99NAME X\r\n", {"99 NAME X"}},
      {"unreadable level", "x1NAME X\r\n1xNAME Y\r\n", {"-1 NAME X", "-1 NAME Y"}},
      {"three characters", "1 X\r\n", {}},
      {"tag ends the line", "1 SEX\r\n", {"1 SEX "}},
      {"short lines", "0 \r\n0\r\n", {}},
      {"user tag", "1 _MILT x\r\n", {}},
      {"tag without code", "1 FOO x\r\n1 birt\r\n", {}},
      {"alias", "1 EMAIL a@b\r\n", {"1 EMAI a@b"}},
  };
  for (const Case& c : cases) ExpectRows(c);
}

TEST(PreParseLines, RecordLinesSwapIdentifierAndTag) {
  const Case cases[] = {
      {"record", "0 @I1@ INDI\r\n", {"0 INDI @I1@"}},
      {"record with trailing blank", "0 @I1@ INDI \r\n", {"0 INDI @I1@"}},
      {"identifier alone", "0 @I1@\r\n1 NAME X\r\n", {"*1 NAME X"}},
      {"identifier and a blank", "0 @I1@ \r\n1 NAME X\r\n", {"*1 NAME X"}},
      {"identifier and two blanks", "0 @I1@  \r\n1 NAME X\r\n", {"*1 NAME X"}},
      {"only at level 0", "1 @I1@ INDI\r\n", {}},
      {"record with text has no code", "0 @N1@ NOTE Some text\r\n", {}},
      {"continuation of a record line", "0 @N1@ NOTE\r\n1 CONC abc\r\n", {"0 NOTE @N1@abc"}},
  };
  for (const Case& c : cases) ExpectRows(c);
}

TEST(PreParseLines, JoinsContinuationLines) {
  const Case cases[] = {
      {"CONT and CONC",
       "1 NOTE First\r\n2 CONT second\r\n2 CONC half\r\n",
       {"1 NOTE First\r\nsecondhalf"}},
      {"empty CONT", "1 NOTE a\r\n2 CONT\r\n2 CONT b\r\n", {"1 NOTE a\r\n\r\nb"}},
      {"CONT of a dropped line", "1 NOTE a\r\n1 _X y\r\n2 CONT b\r\n", {"1 NOTE a"}},
      {"CONC of a record with text",
       "1 NOTE a\r\n0 @N1@ NOTE Some text\r\n1 CONC b\r\n",
       {"1 NOTE a"}},
      {"CONT at the dropped line's own level",
       "0 @I1@ INDI\r\n1 NOTE a\r\n1 _X y\r\n1 CONT b\r\n",
       {"0 INDI @I1@", "1 NOTE a\r\nb"}},
      {"parent below a dropped line", "1 _X\r\n2 NOTE a\r\n3 CONT b\r\n", {"*2 NOTE a\r\nb"}},
      {"parent dropped below a dropped line", "1 _X\r\n2 FOO a\r\n3 CONC b\r\n", {}},
      {"skipped level: the deepest open line is the parent",
       "1 NOTE a\r\n2 _X\r\n1 DEAT d\r\n3 CONC e\r\n1 _Y\r\n3 CONC f\r\n",
       {"1 NOTE a", "1 DEAT de"}},
      {"CONT before any stored line", "1 CONT x\r\n1 CONC y\r\n0 HEAD\r\n", {"0 HEAD "}},
      {"later lines stay apart",
       "1 NOTE a\r\n2 CONC b\r\n1 NOTE c\r\n2 CONC d\r\n",
       {"1 NOTE ab", "1 NOTE cd"}},
  };
  for (const Case& c : cases) ExpectRows(c);
}

TEST(PreParseLines, MarksLinesBelowADroppedLine) {
  const Case cases[] = {
      {"user tag",
       "1 SEX M\n1 _MILT x\n2 PLAC P\n3 NOTE n\n1 NAME A\n",
       {"1 SEX M", "*2 PLAC P", "*3 NOTE n", "1 NAME A"}},
      {"tag without code",
       "2 SOUR @S1@\n3 DATA\n4 DATE 1999\n3 PAGE 4\n",
       {"2 SOUR @S1@", "*4 DATE 1999", "3 PAGE 4"}},
      {"record with text",
       "0 @N1@ NOTE text\n1 CONC more\n1 SOUR @S1@\n2 PAGE 4\n0 @I1@ INDI\n",
       {"*1 SOUR @S1@", "*2 PAGE 4", "0 INDI @I1@"}},
      {"empty tag", "1 NAME A\n2 \n3 GIVN B\n2 SURN C\n", {"1 NAME A", "*3 GIVN B", "2 SURN C"}},
      {"a line without a level ends the run",
       "1 _X\n2 DATE 1\nx1NAME Y\n2 PLAC P\n",
       {"*2 DATE 1", "-1 NAME Y", "2 PLAC P"}},
      {"a dropped line without a level has nothing below", "  1 NAME X\n2 GIVN B\n", {"2 GIVN B"}},
  };
  for (const Case& c : cases) ExpectRows(c);
}

TEST(PreParseLines, CutsValuesTo255CharactersBeforeJoining) {
  std::string long_value(300, 'v');
  TLines lines = Parse("1 NOTE " + long_value + "\r\n2 CONC " + long_value + "\r\n0 TRLR\r\n");
  ASSERT_EQ(lines.Count, 1);
  EXPECT_EQ(lines.Value(0), std::string(510, 'v'));
}

TEST(PreParseLines, CutsARecordIdentifierTo255CharactersLikeAValue) {
  std::string identifier = "@" + std::string(300, 'I') + "@";
  TLines lines = Parse("0 " + identifier + " INDI\r\n0 TRLR\r\n");
  ASSERT_EQ(lines.Count, 1);
  EXPECT_EQ(lines.Lines[0].Code, tag::INDI);
  EXPECT_EQ(lines.Value(0), identifier.substr(0, 255));
}

TEST(PreParseLines, LineBreaksOfEveryKindSeparateLinesAlike) {
  const Rows want = {"0 HEAD ", "1 NAME a", "1 SEX M"};
  for (std::string text :
       {"0 HEAD\r\n1 NAME a\r\n1 SEX M\r\n0 TRLR\r\n", "0 HEAD\r1 NAME a\r1 SEX M\r0 TRLR\r",
        "0 HEAD\n1 NAME a\n1 SEX M\n0 TRLR\n", "0 HEAD\n\r\n\r\r\n\n1 NAME a\r\r1 SEX M\n\n0 TRLR",
        "0 HEAD\r\n1 NAME a\n1 SEX M\r0 TRLR\r\n\r\n\r\n"})
    EXPECT_EQ(RowsOf(Parse(text)), want) << text;
}

TEST(PreParseLines, ABreakThatStartsTheTextBelongsToTheFirstLine) {
  // The first line is CR "0 HEAD": its level reads 0, but its third character is a blank, so
  // it is dropped and the next line stands below it.
  EXPECT_EQ(RowsOf(Parse("\r0 HEAD\r\n1 NAME a\r\n0 TRLR\r\n")), Rows{"*1 NAME a"});
}

TEST(PreParseLines, TheLastStoredLineIsRemoved) {
  TLines three = Parse("0 HEAD\r\n1 CHAR ANSI\r\n0 TRLR");
  EXPECT_EQ(three.Count, 2);
  EXPECT_EQ(RowsOf(three), (Rows{"0 HEAD ", "1 CHAR ANSI"}));

  TLines fourteen = Parse("0 HEAD\n0 TRLR\n");  // capacity estimate 0: still stores both
  EXPECT_EQ(fourteen.Count, 1);

  TLines fallback = Parse(kFallbackText);
  EXPECT_EQ(fallback.Count, 0);
  EXPECT_TRUE(fallback.Lines.empty());

  TLines joined_last = Parse("0 HEAD\r\n0 TRLR\r\n1 CONC zz\r\n");
  EXPECT_EQ(RowsOf(joined_last), Rows{"0 HEAD "});
  EXPECT_TRUE(joined_last.JoinedValues.empty());
}

TEST(PreParseLines, FailsWhenNoLineCanBeStored) {
  for (std::string text : {"", "\r\n\r\n", "\r", "1 _A x\r\n1 _B y\r\n", "1 FOO\r\n2 BAR\r\n",
                           "1 CONT a\r\n", "0 @I1@\r\n", "  \r\n\t\r\n"})
    EXPECT_FALSE(PreParseLines(TextBuffer(text))) << text;
}

TEST(PreParseLines, CountsEstimatesOverStoredLinesOnly) {
  TLines lines = Parse(
      "0 @I1@ INDI\r\n1 BIRT\r\n1 DEAT\r\n1 FAMC @F1@\r\n2 FAMS @F2@\r\n1 OBJE\r\n1 SOUR @S1@\r\n"
      "0 @S1@ SOUR\r\n0 @F1@ FAM\r\n1 MARR\r\n1 _BIRT\r\n0 TRLR\r\n");
  EXPECT_EQ(lines.Count, 10);
  EXPECT_EQ(lines.PersonEstimate, 2);
  EXPECT_EQ(lines.FamilyEstimate, 3);
  EXPECT_EQ(lines.EventEstimate, 6);  // BIRT, DEAT, MARR, FAMC, FAMS
  EXPECT_EQ(lines.MultimediaEstimate, 2);
  EXPECT_EQ(lines.SourceEstimate, 2);  // the level-0 record only

  TLines none = Parse(kFallbackText);
  for (std::int32_t e : {none.PersonEstimate, none.FamilyEstimate, none.EventEstimate,
                         none.MultimediaEstimate, none.SourceEstimate})
    EXPECT_EQ(e, 1);
}

TEST(PreParseLines, PlainValuesPointIntoTheTextAndJoinedOnesAreCopied) {
  TLines lines = Parse("1 NAME a\r\n1 NOTE b\r\n2 CONT c\r\n0 TRLR\r\n");
  ASSERT_EQ(lines.Count, 2);
  EXPECT_FALSE(lines.Lines[0].Joined);
  EXPECT_EQ(lines.Value(0).data(), lines.Text.data() + 7);
  EXPECT_TRUE(lines.Lines[1].Joined);
  EXPECT_EQ(lines.JoinedValues.view(), "b\r\nc");
}

TEST(PreParseLines, GrowsPastTheCapacityEstimate) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "1 SEX M\n";  // 8 characters a line
  TLines lines = Parse(text);
  EXPECT_EQ(lines.Count, 9999);
  EXPECT_EQ(lines.Value(9998), "M");
}

TEST(PreParseLines, ControlBytesAndNulsInTheTextAreOrdinaryCharacters) {
  using namespace std::string_literals;
  TLines lines = Parse("1 NAME a\0b\x01\r\n1 SEX \xFF\r\n0 TRLR\r\n"s);
  EXPECT_EQ(RowsOf(lines), (Rows{"1 NAME a\0b\x01"s, "1 SEX \xFF"}));
}

}  // namespace
}  // namespace voziroz
