// Real GEDCOM files written by other programs: every one loads and pre-parses, and a few lines
// of some of them (looked up in the files themselves) come out as they should.
#include <gtest/gtest.h>
#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/ansel.h"
#include "engine/gedcom_reader.h"

namespace voziroz {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(VOZIROZ_SHARED_DIR) / "corpus";
// An HTML page saved under a .ged name: it has no GEDCOM line to store.
const std::string kNotGedcom = "GeorgeWashington+Family+Small.ged";

bool IsGedcomFile(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension == ".ged";
}

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus folder at " << kCorpus;
  }

  static TLines Open(const std::string& name) {
    LoadedText loaded = LoadFileText((kCorpus / name).string());
    EXPECT_TRUE(loaded.Readable) << name;
    std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
    EXPECT_TRUE(lines) << name;
    return lines ? std::move(*lines) : TLines{};
  }

  static std::string Row(const TLines& lines, std::int32_t i) {
    if (i < 0 || i >= lines.Count) return "line " + std::to_string(i) + " out of range";
    const TLine& line = lines.Lines[i];
    return std::to_string(line.Level) + ' ' + std::string(CodeToTag(line.Code)) + ' ' +
           std::string(lines.Value(line));
  }
};

TEST_F(CorpusTest, EveryFileLoadsAndPreParses) {
  int files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    if (!entry.is_regular_file() || !IsGedcomFile(entry.path())) continue;
    ++files;
    std::string name = entry.path().filename().string();
    LoadedText loaded = LoadFileText(entry.path().string());
    EXPECT_TRUE(loaded.Readable) << name;
    std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
    if (name == kNotGedcom) {
      EXPECT_FALSE(lines) << name;
      continue;
    }
    ASSERT_TRUE(lines) << name;
    EXPECT_GT(lines->Count, 0) << name;
    EXPECT_EQ(lines->Lines.size(), static_cast<std::size_t>(lines->Count)) << name;
  }
  EXPECT_GT(files, 0);
}

TEST_F(CorpusTest, Utf16AndUtf8VersionsOfOneFileGiveTheSameLines) {
  TLines little = Open("555SAMPLE16LE.GED");
  EXPECT_EQ(Row(little, 16), "0 SUBM @U1@");
  EXPECT_EQ(Row(little, 18), "1 ADDR ");  // "1 ADDR " with its blank: an empty value
  EXPECT_EQ(Row(little, 22), "1 NAME Robert Eugene /Williams/");
  EXPECT_EQ(Row(little, 28), "2 PLAC Weston, Madison, Connecticut, United States of America");
  EXPECT_EQ(Row(little, 5), "1 CHAR UNICODE");
  for (const char* other : {"555SAMPLE16BE.GED", "555SAMPLE.GED"}) {
    TLines lines = Open(other);
    ASSERT_EQ(lines.Count, little.Count) << other;
    for (std::int32_t i = 0; i < lines.Count; ++i) {
      if (i == 5) continue;  // the CHAR line
      ASSERT_EQ(Row(lines, i), Row(little, i)) << other;
    }
  }
}

TEST_F(CorpusTest, AnselFileWithCrLf) {
  TLines lines = Open("ANSEL.GED");
  EXPECT_EQ(Row(lines, 12), "0 INDI @FATHER@");
  EXPECT_EQ(Row(lines, 24),
            "2 PLAC slash l - uppercase (L), slash o - uppercase (\xD8), slash d - uppercase "
            "(\xD0), thorn - uppercase (\xDE)");
  EXPECT_EQ(Row(lines, 33),
            "2 PLAC alif (\xAE), ayn (\xB0), slash l - lowercase (l), slash o - lowercase (\xF8), "
            "slash d - lowercase (d)");
  std::string note = Row(lines, 6);
  EXPECT_TRUE(note.starts_with(
      "1 NOTE This GEDCOM transmission contains a charcter set test. It consists\r\nof a single"))
      << note;
  EXPECT_TRUE(note.ends_with("\r\nhttp://www.gendex.com/gedcom55/55gcappd.htm")) << note;
}

TEST_F(CorpusTest, AnselFileWithBareCr) {
  TLines lines = Open("TGC551.ged");
  EXPECT_EQ(Row(lines, 5), "3 ADDR 7108 South Pine Cone Street\r\nSalt Lake City, UT 84121\r\nUSA");
  EXPECT_EQ(Row(lines, 13), "1 DEST ANSTFILE");
  EXPECT_EQ(Row(lines, 17),
            "1 COPR \xA9 1997 by H. Eichmann, parts \xA9 1999-2000 by J. A. Nairn.");
}

TEST_F(CorpusTest, Utf8FileWithoutFinalLineBreak) {
  TLines lines = Open("Queen.ged");
  EXPECT_EQ(Row(lines, 0), "0 HEAD ");  // after the UTF-8 mark
  EXPECT_EQ(Row(lines, 13), "2 TIME 12:02:31 ");
  EXPECT_EQ(Row(lines, 14), "0 SUBM @U1@");  // "0  _PUBLISH" and the _ tags before it dropped
  EXPECT_EQ(Row(lines, 15), "1 NAME M M Wardle");
  // The file ends "1 CHIL @I387@", "1 MARR", "2 _UID ...", "2 RIN ...", "0 TRLR" with no break.
  EXPECT_EQ(Row(lines, lines.Count - 2), "1 CHIL @I387@");
  EXPECT_EQ(Row(lines, lines.Count - 1), "1 MARR ");
}

// The character-set test file in ANSEL against another program's UTF-8 rendering of it, put in
// NFC (that program leaves some letters decomposed) and with ANSEL's alif, U+02BC, where that
// program wrote U+02BE.
TEST_F(CorpusTest, AnselToUtf8AgreesWithAnotherProgramsRendering) {
  auto read = [](const std::string& name) {
    std::ifstream in(kCorpus / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string rendering = read("anselutf8.ged");
  std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> nfc(
      utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(rendering.c_str())), &std::free);
  ASSERT_TRUE(nfc);
  std::string want(reinterpret_cast<const char*>(nfc.get()));
  for (std::size_t at; (at = want.find("\u02BE")) != std::string::npos;)
    want.replace(at, 2, "\u02BC");
  EXPECT_EQ(AnselToUtf8(read("ANSEL.GED")).view(), want);
}

}  // namespace
}  // namespace voziroz
