// The SQLite export, read back through the SQLite C API: schema, indexes, and every cell (value
// and type) against what a Parser shows of the same file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/gedcom_export.h"
#include "tests/cli/export_expected.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

using cli::ExportFormat;
using cli::ExportGedcom;
using cli::ExportProgress;

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

Database OpenReadOnly(const std::string& path) {
  sqlite3* db = nullptr;
  const int status = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  Database owned(db);
  EXPECT_EQ(status, SQLITE_OK) << path;
  return owned;
}

// Every row of the query, each cell as text prefixed by its type: "i:12", "t:abc", "n:".
std::vector<std::vector<std::string>> Query(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  std::vector<std::vector<std::string>> rows;
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
      const int type = sqlite3_column_type(statement, c);
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
      const std::string value(text ? text : "",
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
      row.push_back(type == SQLITE_INTEGER ? "i:" + value
                    : type == SQLITE_TEXT  ? "t:" + value
                    : type == SQLITE_NULL  ? "n:"
                                           : "?:" + value);
    }
  }
  sqlite3_finalize(statement);
  return rows;
}

// The form Query gives the cell the Parser holds.
std::string Typed(const Variant& cell) {
  switch (cell.Kind()) {
    case VariantKind::Empty:
      return "n:";
    case VariantKind::Text:
      return "t:" + AnsiToUtf8(cell.AsText());
    default:
      return "i:" + std::to_string(ToInt32(cell));
  }
}

void ExpectDatabaseHolds(const std::string& db_path, const std::vector<ExpectedTable>& tables) {
  const Database db = OpenReadOnly(db_path);
  for (const ExpectedTable& table : tables) {
    SCOPED_TRACE(table.name);
    std::vector<std::string> columns;
    for (const auto& info : Query(db.get(), "PRAGMA table_info(\"" + table.name + "\")"))
      columns.push_back(info[1].substr(2));
    EXPECT_EQ(columns, table.columns);
    const auto rows = Query(db.get(), "SELECT * FROM \"" + table.name + "\" ORDER BY rowid");
    ASSERT_EQ(rows.size(), table.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t c = 0; c < table.columns.size(); ++c)
        ASSERT_EQ(rows[r][c], Typed(table.rows[r][c])) << "row " << r << ", " << table.columns[c];
  }
}

class SqliteExportTest : public ::testing::Test {
 protected:
  std::string Export(const std::string& gedcom) {
    ExportProgress quiet(nullptr, {});
    ExportGedcom(gedcom, db_path_, ExportFormat::Sqlite, quiet);
    return db_path_;
  }

  TempDir dir_;
  std::string db_path_ = (dir_.path() / "out.db").string();
};

const std::string kSample = std::string(VOZIROZ_SOURCE_DIR) + "/samples/family.ged";

TEST_F(SqliteExportTest, SampleHoldsEveryCellOfTheParser) {
  ExpectDatabaseHolds(Export(kSample), ExpectedTablesOf(kSample));
}

TEST_F(SqliteExportTest, SchemaHasTypedColumnsAndIndexesOnKeysAndJoins) {
  const Database db = OpenReadOnly(Export(kSample));
  const auto types = [&](const std::string& table) {
    std::string joined;
    for (const auto& info : Query(db.get(), "PRAGMA table_info(\"" + table + "\")"))
      joined += info[2].substr(2) + (info[5] == "i:1" ? " KEY" : "") + ",";
    return joined;
  };
  EXPECT_EQ(types("PERSON"), "INTEGER,TEXT,TEXT,TEXT,TEXT,TEXT,TEXT,TEXT,INTEGER,");
  EXPECT_EQ(types("FAMILY"), "INTEGER,INTEGER,INTEGER,");
  EXPECT_EQ(types("EVENT"), "INTEGER,INTEGER,TEXT,INTEGER,TEXT,TEXT,TEXT,TEXT,TEXT,");
  EXPECT_EQ(types("SOURCE"), "INTEGER,TEXT,TEXT,TEXT,TEXT,TEXT,TEXT,");
  EXPECT_EQ(types("MULTIMEDIA"), "INTEGER,TEXT,TEXT,TEXT,TEXT,TEXT,");
  EXPECT_EQ(types("GEDCOM"), "INTEGER KEY,INTEGER,TEXT,TEXT,");
  EXPECT_EQ(types("metadata"), "TEXT,TEXT,,");
  const std::vector<std::vector<std::string>> indexes = {
      {"t:EVENT", "t:FamRefID"}, {"t:EVENT", "t:MainRefID"},      {"t:FAMILY", "t:FamilyID"},
      {"t:FAMILY", "t:IndiID"},  {"t:MULTIMEDIA", "t:MainRefID"}, {"t:PERSON", "t:IndiID"},
      {"t:SOURCE", "t:SourID"}};
  EXPECT_EQ(Query(db.get(),
                  "SELECT m.tbl_name, i.name FROM sqlite_master m, pragma_index_info(m.name) i "
                  "WHERE m.type = 'index' ORDER BY 1, 2"),
            indexes);
  EXPECT_EQ(Query(db.get(), "SELECT count(*) FROM metadata"), (decltype(indexes){{"i:21"}}));
}

// Windows-1252 text (with an undefined byte), text with quotes, commas and a CONT line break,
// empty text beside empty cells, and three tables in which no row is made.
constexpr const char* kSmallFile =
    "0 HEAD\r\n1 CHAR ANSI\r\n0 @I7@ INDI\r\n1 NAME Jean \"le Grand\", /Dupont/\r\n"
    "1 NOTE one, \"two\"\r\n2 CONT three\r\n1 BIRT\r\n2 DATE 1 JAN 1900\r\n"
    "2 PLAC Caf\xE9\x81 \x80\r\n1 DEAT\r\n0 TRLR\r\n";

TEST_F(SqliteExportTest, SmallFileKeepsTextTypesAndEmptyTables) {
  const std::string gedcom = dir_.Write("small.ged", kSmallFile);
  const std::vector<ExpectedTable> expected = ExpectedTablesOf(gedcom);
  ExpectDatabaseHolds(Export(gedcom), expected);
  const Database db = OpenReadOnly(db_path_);
  EXPECT_EQ(Query(db.get(), "SELECT Location FROM EVENT WHERE Eventcode = 'BIRT'"),
            (std::vector<std::vector<std::string>>{{"t:Caf\xC3\xA9\xC2\x81 \xE2\x82\xAC"}}));
  EXPECT_EQ(Query(db.get(), "SELECT Note, AFN FROM PERSON"),
            (std::vector<std::vector<std::string>>{{"t:one, \"two\"\r\nthree", "t:"}}));
  for (const char* empty : {"FAMILY", "SOURCE", "MULTIMEDIA"})
    EXPECT_TRUE(Query(db.get(), std::string("SELECT * FROM ") + empty).empty()) << empty;
}

TEST_F(SqliteExportTest, ExportReplacesAnEarlierDatabase) {
  Export(kSample);
  const std::string gedcom = dir_.Write("small.ged", kSmallFile);
  ExpectDatabaseHolds(Export(gedcom), ExpectedTablesOf(gedcom));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
}

TEST_F(SqliteExportTest, CorpusFilesHoldEveryCellOfTheParser) {
  const int checked = CheckCorpusThird(0, [&](const auto& file, const auto& expected) {
    ExpectDatabaseHolds(Export(file.string()), expected);
  });
  if (checked < 0) GTEST_SKIP() << "no corpus at " << VOZIROZ_SHARED_DIR << "/corpus";
  EXPECT_GT(checked, 5);
}

}  // namespace
}  // namespace voziroz::testing
