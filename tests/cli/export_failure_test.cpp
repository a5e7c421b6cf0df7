// Exports that fail: no folder, an output that is a folder, writes that fail midway (a file size
// limit, as a full disk would). Each must report why and leave the old output as it was, with no
// file of its own behind. Also the command's arguments, messages and progress line.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "cli/export_tables.h"
#include "cli/gedcom_export.h"
#include "tests/cli/run_tool.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {
namespace {

namespace fs = std::filesystem;
using cli::ExportFormat;

const std::string kSample = std::string(VOZIROZ_SOURCE_DIR) + "/samples/family.ged";

// The message of the ExportError that exporting `gedcom` to `out` throws ("" when none).
std::string ExportFailure(const std::string& gedcom, const fs::path& out, ExportFormat format) {
  cli::ExportProgress quiet(nullptr, {});
  try {
    cli::ExportGedcom(gedcom, out.string(), format, quiet);
  } catch (const cli::ExportError& error) {
    return error.what();
  }
  return "";
}

std::set<std::string> FilesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A GEDCOM file of `persons` persons, each with a birth and a long note: big enough that every
// output is far above the file size limits below.
std::string ManyPersons(int persons) {
  std::string text = "0 HEAD\r\n";
  for (int i = 1; i <= persons; ++i) {
    text += "0 @I" + std::to_string(i) + "@ INDI\r\n1 NAME Person " + std::to_string(i) +
            " /Test/\r\n1 BIRT\r\n2 DATE " + std::to_string(1 + i % 28) + " MAR 1850\r\n" +
            "1 NOTE " + std::string(200, 'n') + "\r\n";
  }
  return text + "0 TRLR\r\n";
}

// Files written by this process may not grow past `bytes` while it lives; a write beyond fails
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit saved_{};
  sighandler_t old_handler_;
};

class ExportFailureTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(ExportFailureTest, MissingFolderOrFileInTheWayIsReported) {
  const fs::path file = dir_.Write("plain", "x");
  struct Case {
    fs::path out;
    ExportFormat format;
    std::string message;
  } cases[] = {
      {dir_.path() / "none" / "out.db", ExportFormat::Sqlite,
       "cannot create a file in '" + (dir_.path() / "none").string() +
           "': No such file or directory"},
      {file / "out.db", ExportFormat::Sqlite,
       "cannot create a file in '" + file.string() + "': Not a directory"},
      {dir_.path() / "none" / "csv", ExportFormat::Csv,
       "cannot make the folder '" + (dir_.path() / "none" / "csv").string() +
           "': No such file or directory"},
      {file, ExportFormat::Csv, "'" + file.string() + "' is not a folder"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExportFailure(kSample, c.out, c.format), c.message);
    EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"plain"}));
  }
}

TEST_F(ExportFailureTest, WhatIsNoRegularFileIsRefusedAndStays) {
  const fs::path folder = dir_.path() / "folder.db", fifo = dir_.path() / "fifo.db",
                 csv = dir_.path() / "csv";
  fs::create_directory(folder);
  fs::create_directory(csv);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((csv / "EVENT.csv").c_str(), 0600), 0);
  fs::create_symlink("fifo.db", dir_.path() / "link.db");
  const struct {
    fs::path out;
    ExportFormat format;
    fs::path refused;
  } cases[] = {
      {folder, ExportFormat::Sqlite, folder},
      {fifo, ExportFormat::Sqlite, fifo},
      {dir_.path() / "link.db", ExportFormat::Sqlite, fifo},
      {csv, ExportFormat::Csv, csv / "EVENT.csv"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExportFailure(kSample, c.out, c.format),
              "cannot replace '" + c.refused.string() + "': not a regular file");
  }
  EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_fifo(csv / "EVENT.csv") && fs::is_directory(folder));
  EXPECT_EQ(FilesIn(dir_.path()),
            (std::set<std::string>{"csv", "fifo.db", "folder.db", "link.db"}));
  EXPECT_EQ(FilesIn(csv), (std::set<std::string>{"EVENT.csv"}));
}

TEST_F(ExportFailureTest, ALinkStaysAndTheFileItNamesIsReplaced) {
  fs::create_directory(dir_.path() / "real");
  const std::string old_db = dir_.Write("real/out.db", "the old database");
  fs::create_symlink("real/out.db", dir_.path() / "link.db");
  EXPECT_EQ(ExportFailure(kSample, dir_.path() / "link.db", ExportFormat::Sqlite), "");
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "link.db"));
  EXPECT_TRUE(ReadFile(old_db).starts_with("SQLite format 3"));
  EXPECT_EQ(FilesIn(dir_.path() / "real"), (std::set<std::string>{"out.db"}));
}

TEST_F(ExportFailureTest, GedcomFileIsNeverTheOutput) {
  const std::string gedcom = dir_.Write("family.ged", "0 HEAD\r\n0 @I1@ INDI\r\n0 TRLR\r\n");
  EXPECT_EQ(ExportFailure(gedcom, gedcom, ExportFormat::Sqlite),
            "'" + gedcom + "' is the GEDCOM file itself; it is not replaced");
  EXPECT_EQ(ReadFile(gedcom), "0 HEAD\r\n0 @I1@ INDI\r\n0 TRLR\r\n");
  EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"family.ged"}));
}

TEST_F(ExportFailureTest, UnopenableGedcomLeavesNoOutput) {
  EXPECT_EQ(ExportFailure((dir_.path() / "missing.ged").string(), dir_.path() / "out.db",
                          ExportFormat::Sqlite),
            "cannot read '" + (dir_.path() / "missing.ged").string() +
                "' (missing, not a regular file, or no access)");
  EXPECT_TRUE(FilesIn(dir_.path()).empty());
}

TEST_F(ExportFailureTest, WriteFailingMidwayKeepsTheOldDatabase) {
  const std::string gedcom = (dir_.path() / "many.ged").string();
  std::ofstream(gedcom, std::ios::binary) << ManyPersons(20000);
  const fs::path db = dir_.path() / "out.db";
  // While the rows go in (SQLite's page cache spills), at the commit, and while indexing.
  for (rlim_t limit : {rlim_t{4096}, rlim_t{1 << 20}, rlim_t{7 << 20}, rlim_t{12 << 20}}) {
    SCOPED_TRACE(limit);
    std::ofstream(db, std::ios::binary) << "the old database";
    std::string message;
    {
      FileSizeLimit small(limit);
      message = ExportFailure(gedcom, db, ExportFormat::Sqlite);
    }
    EXPECT_TRUE(message.starts_with("cannot write the ") || message.starts_with("cannot index "))
        << message;
    EXPECT_NE(message.find(": disk I/O error"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(db), "the old database");
    EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"many.ged", "out.db"}));
  }
}

TEST_F(ExportFailureTest, WriteFailingMidwayKeepsEveryOldCsvFile) {
  const std::string gedcom = (dir_.path() / "many.ged").string();
  std::ofstream(gedcom, std::ios::binary) << ManyPersons(3000);
  const fs::path folder = dir_.path() / "csv";
  fs::create_directory(folder);
  for (rlim_t limit : {rlim_t{4096}, rlim_t{300000}}) {
    SCOPED_TRACE(limit);
    std::ofstream(folder / "PERSON.csv", std::ios::binary) << "old persons";
    std::string message;
    {
      FileSizeLimit small(limit);
      message = ExportFailure(gedcom, folder, ExportFormat::Csv);
    }
    EXPECT_EQ(message.substr(0, 15), "cannot write '" + folder.string().substr(0, 1)) << message;
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(folder / "PERSON.csv"), "old persons");
    EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"PERSON.csv"}));
  }
}

TEST(ExportCommandTest, ArgumentsMessagesAndExitCodes) {
  TempDir dir;
  const std::string db = (dir.path() / "out.db").string();
  struct Case {
    std::string arguments;
    int exit_code;
    std::string out;
  } cases[] = {
      {"export /nonexistent.ged " + db, 1,
       "voziroz export: cannot read '/nonexistent.ged' (missing, not a regular file, or no "
       "access)\n"},
      // Standard error is no terminal here: no progress line.
      {"export " + kSample + " " + db, 0, ""},
      {"export --csv " + kSample + " " + dir.path().string() + "/csv", 0, ""},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    EXPECT_EQ(run.out, c.out) << c.arguments;
  }
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"csv", "out.db"}));
  EXPECT_EQ(FilesIn(dir.path() / "csv").size(), 7u);
}

// The progress line written to a file, as it would be to a terminal.
std::string ProgressOutput(std::chrono::milliseconds delay, std::int64_t rows) {
  std::FILE* out = std::tmpfile();
  {
    cli::ExportProgress progress(out, delay);
    progress.Begin(12, rows);
    for (std::int64_t r = 0; r < rows; ++r) progress.AddRows(1);
    progress.Phase("indexing");
    progress.End();
  }
  std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  text.resize(std::fread(text.data(), 1, text.size(), out));
  std::fclose(out);
  return text;
}

// Fewer rows than one check's worth: only the start, the phase and the end show.
TEST(ExportProgressTest, ShowsLinesAndRowsOnceTheMomentHasPassed) {
  EXPECT_EQ(ProgressOutput(std::chrono::milliseconds(0), 4000),
            "\rvoziroz export: 12 lines read, 0 of 4000 rows written (0%)\x1b[K"
            "\rvoziroz export: 12 lines read, 4000 of 4000 rows written (100%), indexing\x1b[K"
            "\rvoziroz export: 12 lines read, 4000 of 4000 rows written (100%)\x1b[K\n");
  EXPECT_EQ(ProgressOutput(std::chrono::hours(1), 5000), "");
  cli::ExportProgress silent(nullptr, std::chrono::milliseconds(0));
  silent.Begin(1, 1);
  silent.AddRows(1);
  EXPECT_EQ(silent.RowsWritten(), 1);
}

}  // namespace
}  // namespace voziroz::testing
