// The CSV export, parsed back by a strict RFC 4180 reader: every field against what a Parser
// shows of the same file, with quotes, commas and line breaks inside values.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/gedcom_export.h"
#include "tests/cli/export_expected.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

struct CsvField {
  std::string text;
  bool quoted = false;
  friend bool operator==(const CsvField&, const CsvField&) = default;
};
using CsvRecord = std::vector<CsvField>;

void PrintTo(const CsvField& field, std::ostream* out) {
  *out << (field.quoted ? "quoted " : "") << ::testing::PrintToString(field.text);
}

// Records ended by CR LF, fields separated by commas, a quoted field ending at a lone quote.
// Nothing for text that breaks those rules (a bare CR or LF, a quote inside an unquoted field,
// text after a closing quote, a missing final CR LF).
std::optional<std::vector<CsvRecord>> ParseCsv(std::string_view text) {
  std::vector<CsvRecord> records;
  std::size_t i = 0;
  while (i < text.size()) {
    CsvRecord& record = records.emplace_back();
    for (;;) {
      CsvField& field = record.emplace_back();
      if (i < text.size() && text[i] == '"') {
        field.quoted = true;
        for (++i;; ++i) {
          if (i >= text.size()) return std::nullopt;
          if (text[i] != '"') {
            field.text += text[i];
          } else if (i + 1 < text.size() && text[i + 1] == '"') {
            field.text += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        }
      } else {
        for (; i < text.size() && text[i] != ',' && text[i] != '\r'; ++i) {
          if (text[i] == '"' || text[i] == '\n') return std::nullopt;
          field.text += text[i];
        }
      }
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (text.substr(i, 2) != "\r\n") return std::nullopt;
      i += 2;
      break;
    }
  }
  return records;
}

// The field the export must write for a cell: empty text quoted, an empty cell not.
CsvField FieldOf(const Variant& cell) {
  switch (cell.Kind()) {
    case VariantKind::Empty:
      return {"", false};
    case VariantKind::Text: {
      const std::string utf8 = AnsiToUtf8(cell.AsText());
      return {utf8, utf8.empty() || utf8.find_first_of(",\"\r\n") != std::string::npos};
    }
    default:
      return {std::to_string(ToInt32(cell)), false};
  }
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void ExpectCsvFilesHold(const std::filesystem::path& folder,
                        const std::vector<ExpectedTable>& tables) {
  for (const ExpectedTable& table : tables) {
    SCOPED_TRACE(table.name);
    const auto records = ParseCsv(ReadFile(folder / (table.name + ".csv")));
    ASSERT_TRUE(records.has_value()) << "not RFC 4180";
    ASSERT_EQ(records->size(), table.rows.size() + 1);
    CsvRecord header;
    for (const std::string& column : table.columns) header.push_back({column, false});
    EXPECT_EQ(records->front(), header);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      CsvRecord expected;
      for (const Variant& cell : table.rows[r]) expected.push_back(FieldOf(cell));
      ASSERT_EQ((*records)[r + 1], expected) << "row " << r;
    }
  }
}

class CsvExportTest : public ::testing::Test {
 protected:
  std::filesystem::path Export(const std::string& gedcom) {
    cli::ExportProgress quiet(nullptr, {});
    cli::ExportGedcom(gedcom, out_.string(), cli::ExportFormat::Csv, quiet);
    return out_;
  }

  TempDir dir_;
  std::filesystem::path out_ = dir_.path() / "csv";
};

TEST(CsvReaderTest, ReadsQuotedFieldsAndRejectsBrokenRecords) {
  EXPECT_EQ(
      ParseCsv("a,\"b,\"\"c\"\"\r\nd\",,\"\"\r\n"),
      (std::vector<CsvRecord>{{{"a", false}, {"b,\"c\"\r\nd", true}, {"", false}, {"", true}}}));
  for (const char* broken : {"a\nb\r\n", "a\"b\r\n", "\"a\"b\r\n", "\"a\r\n", "a"})
    EXPECT_FALSE(ParseCsv(broken).has_value()) << broken;
}

TEST_F(CsvExportTest, SampleHoldsEveryCellOfTheParser) {
  const std::string sample = std::string(VOZIROZ_SOURCE_DIR) + "/samples/family.ged";
  ExpectCsvFilesHold(Export(sample), ExpectedTablesOf(sample));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out_), {}), 7);
}

TEST_F(CsvExportTest, QuotesCommasAndLineBreaksSurvive) {
  const std::string gedcom = dir_.Write(
      "small.ged",
      "0 HEAD\r\n0 @I7@ INDI\r\n1 NAME Jean \"le Grand\", /Dupont/\r\n1 NOTE one, \"two\"\r\n"
      "2 CONT three\r\n1 BIRT\r\n2 PLAC Caf\xE9\x81\r\n0 TRLR\r\n");
  ExpectCsvFilesHold(Export(gedcom), ExpectedTablesOf(gedcom));
  EXPECT_EQ(ReadFile(out_ / "PERSON.csv"),
            "IndiID,Sex,AFN,Fullname,Surname,GivenName,Note,Updated,SourID\r\n"
            "7,U,\"\",\"Jean \"\"le Grand\"\", /Dupont/\",Dupont,\"Jean \"\"le Grand\"\",\","
            "\"one, \"\"two\"\"\r\nthree\",\"\",-1\r\n");
  EXPECT_EQ(ReadFile(out_ / "FAMILY.csv"), "FamilyID,FamilyReleation,IndiID\r\n");
  EXPECT_NE(ReadFile(out_ / "EVENT.csv").find(",Caf\xC3\xA9\xC2\x81,"), std::string::npos);
}

// Values are scanned eight bytes at a time: a byte that needs quotes or conversion must be
// found in every position of a word and of the bytes after the last whole word.
TEST_F(CsvExportTest, QuotesAndConversionAreFoundAtEveryPositionOfAValue) {
  std::string gedcom = "0 HEAD\r\n";
  int id = 0;
  for (const char special : {',', '"', '\xE9'}) {
    for (std::size_t at = 0; at < 19; ++at) {
      std::string note(19, 'x');
      note[at] = special;
      gedcom += "0 @I" + std::to_string(++id) + "@ INDI\r\n1 NOTE " + note + "\r\n";
    }
  }
  for (std::size_t length = 1; length < 18; ++length)
    gedcom += "0 @I" + std::to_string(++id) + "@ INDI\r\n1 NOTE " + std::string(length, 'y') +
              "\r\n2 CONT z\r\n";
  const std::string file = dir_.Write("positions.ged", gedcom + "0 TRLR\r\n");
  ExpectCsvFilesHold(Export(file), ExpectedTablesOf(file));
}

TEST_F(CsvExportTest, CorpusFilesHoldEveryCellOfTheParser) {
  const int checked = CheckCorpusThird(1, [&](const auto& file, const auto& expected) {
    ExpectCsvFilesHold(Export(file.string()), expected);
  });
  if (checked < 0) GTEST_SKIP() << "no corpus at " << VOZIROZ_SHARED_DIR << "/corpus";
  EXPECT_GT(checked, 5);
}

}  // namespace
}  // namespace voziroz::testing
