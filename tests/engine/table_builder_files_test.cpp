// The table builder on real files: the sample file checked cell by cell against rows worked out
// by hand from it, and every file of the shared corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/gedcom_reader.h"
#include "engine/table_builder.h"
#include "engine/table_layouts.h"
#include "tests/engine/built_tables.h"

namespace voziroz {
namespace {

using namespace testkit;

BuiltTables BuildFile(const std::string& path) {
  LoadedText loaded = LoadFileText(path);
  EXPECT_TRUE(loaded.Readable) << path;
  const std::optional<TLines> lines = PreParseLines(std::move(loaded.Text));
  return lines ? Build(*lines) : Build(TLines{});  // a file of no lines builds empty tables
}

// The rows whose cells in `columns` show the given texts, in table order.
std::vector<Row> RowsWhere(const tSimpleTable& table, const std::vector<int>& columns,
                           const std::vector<std::string>& texts) {
  std::vector<Row> found;
  for (int r = 0; r <= table.LastRow; ++r) {
    bool match = true;
    for (std::size_t i = 0; i < columns.size() && match; ++i)
      match = CellText(table, r, columns[i]) == texts[i];
    if (match) found.push_back(RowOf(table, r));
  }
  return found;
}

// The sample file's tables, built once for all the tests that read them.
class SampleFileTables : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = VOZIROZ_SOURCE_DIR "/samples/family.ged";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no sample file at " << path;
    if (!tables_) tables_ = std::make_unique<BuiltTables>(BuildFile(path));
  }
  static const BuiltTables& T() { return *tables_; }

 private:
  static std::unique_ptr<BuiltTables> tables_;
};

std::unique_ptr<BuiltTables> SampleFileTables::tables_;

// Text below is Windows-1252, as the tables hold it: \xf8 is o-slash, \xc6 AE, \xfc u-umlaut.
const std::string kAeroskobing =
    "\xc6r\xf8sk\xf8"
    "bing, \xc6r\xf8, Denmark";

TEST_F(SampleFileTables, SizesOfTheFiveTables) {
  ASSERT_TRUE(T().ok);
  EXPECT_EQ(T().person.LastRow, 33);     // @I1@ to @I34@
  EXPECT_EQ(T().family.LastRow, 44);     // 12 families, 45 members
  EXPECT_EQ(T().event.LastRow, 147);     // 148 events and family links
  EXPECT_EQ(T().source.LastRow, 3);      // @S1@ to @S4@
  EXPECT_EQ(T().multimedia.LastRow, 3);  // three persons' and one source's objects
}

TEST_F(SampleFileTables, Persons) {
  const Row soren = {"i32:1",
                     "M",
                     "",
                     "S\xf8ren /Dahl/",
                     "Dahl",
                     "S\xf8ren",
                     "S\xf8ren sailed his own schooner between \xc6r\xf8 and the Baltic ports for "
                     "more than thirty years.\r\nHe married twice; his second wife outlived him.",
                     "12 MAR 2024 09:30:12",
                     "i8:-1"};
  EXPECT_EQ(RowOf(T().person, 0), soren);
  EXPECT_EQ(RowOf(T().person, 3), (Row{"i32:4", "M", "", "Johann Georg /M\xfcller/", "M\xfcller",
                                       "Johann Georg", "", "", "i32:2"}));
  // Arthur: a _UID line is dropped, NICK below NAME changes nothing, a level-1 SOUR cites @S4@.
  EXPECT_EQ(RowOf(T().person, 21), (Row{"i32:22", "M", "", "Arthur /Whitfield/", "Whitfield",
                                        "Arthur", "", "12 MAR 2024 09:35:51", "i32:4"}));
  // Anna Kristine has no SEX line.
  EXPECT_EQ(RowOf(T().person, 33), (Row{"i32:34", "U", "", "Anna Kristine /Dahl/", "Dahl",
                                        "Anna Kristine", "", "", "i8:-1"}));
}

TEST_F(SampleFileTables, Families) {
  const std::vector<Row> whitfield = {{"i32:500007", "u8:0", "i32:16"},
                                      {"i32:500007", "u8:1", "i32:14"},
                                      {"i32:500007", "u8:3", "i32:22"},
                                      {"i32:500007", "u8:3", "i32:23"}};
  EXPECT_EQ(RowsWhere(T().family, {family::kFamilyID}, {"i32:500007"}), whitfield);
  EXPECT_EQ(RowOf(T().family, 44), (Row{"i32:500012", "u8:3", "i32:33"}));
}

TEST_F(SampleFileTables, EventsOfPersonsAndFamilies) {
  const int owner = event::kMainRefID, code = event::kEventcode;
  // A qualifier-free FROM ... TO date is read word by word; TYPE gives the Info.
  EXPECT_EQ(
      RowsWhere(T().event, {owner, code}, {"i32:1", "OCCU"}),
      (std::vector<Row>{{"i8:-1", "i32:1",
                         "Master of the schooner H\xe5"
                         "bet",
                         "i8:-1", "OCCU", "", "FROM 1825 TO 1860", kAeroskobing, "182500TO"}}));
  EXPECT_EQ(RowsWhere(T().event, {owner, code}, {"i32:1", "DEAT"}),
            (std::vector<Row>{{"i8:-1", "i32:1", "Pneumonia", "i8:-1", "DEAT", "", "3 DEC 1869",
                               kAeroskobing, "18691203"}}));
  EXPECT_EQ(RowsWhere(T().event, {owner, code}, {"i32:5", "DEAT"}),
            (std::vector<Row>{{"i8:-1", "i32:5", "", "i32:2", "DEAT", "", "11 NOV 1871",
                               "Ulm, W\xfcrttemberg, Germany", "18711111"}}));
  EXPECT_EQ(RowsWhere(T().event, {owner, code}, {"i32:6", "FAMC"}),
            (std::vector<Row>{
                {"i32:500001", "i32:6", "birth", "i8:-1", "FAMC", "", "", "", "00000000"}}));
  EXPECT_EQ(
      RowsWhere(T().event, {owner, code}, {"i32:17", "DEAT"}),
      (std::vector<Row>{{"i8:-1", "i32:17", "", "i8:-1", "DEAT", "",
                         "INT 1870 (during the siege of Paris)", "Paris, France", "18700000"}}));
  EXPECT_EQ(RowsWhere(T().event, {owner, code}, {"i32:20", "CHR"})[0][event::kIsoDate],
            "00000000");  // a date phrase alone
  // A family event cites a source at any depth (3 SOUR below 2 PLAC).
  EXPECT_EQ(RowsWhere(T().event, {owner}, {"i32:500007"}),
            (std::vector<Row>{{"i32:500007", "i32:500007", "", "i32:4", "MARR", "", "JUN 1885",
                               "Leeds, Yorkshire, England", "18850600"}}));
  EXPECT_EQ(RowsWhere(T().event, {owner}, {"i32:500012"}),
            (std::vector<Row>{{"i32:500012", "i32:500012", "", "i8:-1", "MARR", "", "1945",
                               "Copenhagen, Denmark", "19450000"},
                              {"i32:500012", "i32:500012", "", "i8:-1", "DIV", "", "1958",
                               "M\xfcnchen, Bavaria, Germany", "19580000"}}));
}

TEST_F(SampleFileTables, Sources) {
  EXPECT_EQ(RowOf(T().source, 0),
            (Row{"i32:1",
                 "Church book of \xc6r\xf8sk\xf8"
                 "bing parish, 1801-1850",
                 "\xc6r\xf8sk\xf8"
                 "bing parish",
                 "Manuscript kept by the parish priest",
                 "Anno 1801 den 14de Februar blev Skipper Lars Dahls Hustru forl\xf8st med et "
                 "Drengebarn, som blev d\xf8"
                 "bt S\xf8ren.",
                 "Read from the microfilm in 2023.\r\nSome pages are water-damaged.",
                 "KB \xc6r\xf8sk\xf8"
                 "bing 1801-1850"}));
  EXPECT_EQ(
      RowOf(T().source, 3),
      (Row{"i32:4", "Letters of Marie Louise Whitfield, 1885-1936", "Marie Louise Whitfield", "",
           "", "About two hundred letters to her brother Peter Johann in Copenhagen.", "(empty)"}));
}

TEST_F(SampleFileTables, MultimediaInTheOrderOfTheSortSteps) {
  // File order: objects of @I1@, @I13@, @I22@, @S1@ (keys 1, 13, 22, 1). The first partition
  // (pivot 13) exchanges rows 1 and 3, the second rows 2 and 3: @I1@, @S1@, @I13@, @I22@.
  const std::vector<Row> expected = {
      {"i32:1", "jpeg", "S\xf8ren Dahl, about 1860", "photos/soren_dahl_1860.jpg",
       "Copy of a carte de visite.", "INDI"},
      {"i32:1", "tiff",
       "\xc6r\xf8sk\xf8"
       "bing church book, births 1801",
       "scans/aeroskobing_kb_1801_p12.tif", "", "SOUR"},
      {"i32:13", "jpeg", "Peter Johann Dahl in his workshop", "photos/peter_johann_dahl.jpg", "",
       "INDI"},
      {"i32:22", "jpeg", "Arthur Whitfield in uniform, 1915", "photos/arthur_whitfield_1915.jpg",
       "", "INDI"},
  };
  EXPECT_EQ(RowsOf(T().multimedia), expected);
}

// A finished table: LastRow + 1 rows allocated and keys in ascending order.
void ExpectFinishedAndSorted(const tSimpleTable& table, const std::string& what) {
  EXPECT_EQ(table.RowsAllocated(), table.LastRow + 1) << what;
  for (int r = 1; r <= table.LastRow; ++r) {
    if (table.KeyOf(r - 1) > table.KeyOf(r)) {
      ADD_FAILURE() << what << ": row " << r << " is out of key order";
      return;
    }
  }
}

TEST(CorpusTables, EveryFileBuilds) {
  const std::filesystem::path corpus = std::filesystem::path(VOZIROZ_SHARED_DIR) / "corpus";
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus folder at " << corpus;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    const BuiltTables t = BuildFile(path);
    ASSERT_TRUE(t.ok) << path;
    for (const tSimpleTable* table : {&t.person, &t.event, &t.family, &t.source, &t.multimedia})
      ExpectFinishedAndSorted(*table, path);
    ++files;
  }
  EXPECT_GT(files, 0);
}

// Identifiers without a number (@Abraham_Simpson@; Ancestry's 12 digits) and SEX lines with
// citations (willis): every person is a row of its own, every family member joins one person.
TEST(CorpusTables, PersonsStayApartAndSexComesFromTheSexLine) {
  const std::filesystem::path corpus = std::filesystem::path(VOZIROZ_SHARED_DIR) / "corpus";
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus folder at " << corpus;
  for (const char* name :
       {"Simpsons+Cartoon+Family+Tree.ged", "ancestry-2025-export.ged", "willis.ged"}) {
    const BuiltTables t = BuildFile((corpus / name).string());
    std::map<std::string, int> persons;
    for (int r = 0; r <= t.person.LastRow; ++r) {
      EXPECT_EQ(++persons[CellText(t.person, r, person::kIndiID)], 1) << name;
      const std::string sex = CellText(t.person, r, person::kSex);
      EXPECT_TRUE(sex == "M" || sex == "F" || sex == "U") << name << " row " << r;
    }
    for (int r = 0; r <= t.family.LastRow; ++r)
      EXPECT_EQ(persons[CellText(t.family, r, family::kIndiID)], 1) << name << " row " << r;
  }
}

}  // namespace
}  // namespace voziroz
