// export_bench: time and peak memory of `voziroz export` (SQLite and CSV) beside loading and
// building the tables alone, on the same file in the same run.
//
//   export_bench FILE [REPEATS]
//
// Stages, each run REPEATS times (default 3, best time kept), every run in its own child process:
//   open     Parser.Open: load, pre-parse, header
//   build    Parser.Open + Execute: the five tables
//   sqlite   ... + the SQLite export (written, synced and renamed into a temporary folder)
//   csv      ... + the CSV export
//   copy     SQLite alone: the exported database's tables and indexes copied by SQLite into a new
//            database with the export's settings (no Voziroz code runs): what SQLite's own work on
//            these rows costs, to set beside what the SQLite export adds
// The goal compares what an export adds to the build with what the build adds to the open.
#include <stdlib.h>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "automation/parser_object.h"
#include "bench/stage_measure.h"
#include "cli/export_tables.h"
#include "cli/gedcom_export.h"

namespace {

using voziroz::bench::Measurement;

// Where the export stages write; made before the first stage, so every child sees it.
std::string& OutputFolder() {
  static std::string folder;
  return folder;
}

std::int64_t Open(const std::string& file) {
  const auto parser = voziroz::MakeObject<voziroz::TParser>();
  parser->Open(voziroz::Variant::Text(file));
  return parser->IsOpen() ? parser->LineCount() : -1;
}

// Rows of the five tables.
std::int64_t OpenAndBuild(const std::string& file) {
  const auto parser = voziroz::MakeObject<voziroz::TParser>();
  parser->Open(voziroz::Variant::Text(file));
  if (!parser->Execute()) return -1;
  std::int64_t rows = 0;
  for (const char* name : {"PERSON", "EVENT", "FAMILY", "SOURCE", "MULTIMEDIA"})
    rows += parser->TableNamed(name)->LastRow + 1;
  return rows;
}

// Rows written.
std::int64_t Export(const std::string& file, voziroz::cli::ExportFormat format, const char* out) {
  voziroz::cli::ExportProgress progress(nullptr, {});
  try {
    voziroz::cli::ExportGedcom(file, OutputFolder() + "/" + out, format, progress);
  } catch (const voziroz::cli::ExportError& error) {
    std::fprintf(stderr, "export_bench: %s\n", error.what());
    return -1;
  }
  return progress.RowsWritten();
}
std::int64_t ExportSqlite(const std::string& file) {
  return Export(file, voziroz::cli::ExportFormat::Sqlite, "out.db");
}
std::int64_t ExportCsv(const std::string& file) {
  return Export(file, voziroz::cli::ExportFormat::Csv, "csv");
}

// Runs `sql` on `db`; false (with SQLite's message) when it fails.
bool Run(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  std::fprintf(stderr, "export_bench: %s: %s\n", sql.c_str(), sqlite3_errmsg(db));
  return false;
}

// The tables (rows inserted one by one; SQLite reads them from the source) and then the indexes
// of the exported database, made again in a new one. Rows copied.
std::int64_t CopyDatabase(const std::string&) {
  const std::string copy = OutputFolder() + "/copy.db";
  std::filesystem::remove(copy);
  sqlite3* db = nullptr;
  std::int64_t rows = -1;
  if (sqlite3_open(copy.c_str(), &db) == SQLITE_OK &&
      Run(db,
          "PRAGMA page_size = 16384; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
          "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -4096;"
          "ATTACH '" +
              OutputFolder() + "/out.db' AS source; BEGIN")) {
    sqlite3_stmt* schema = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT type, name, sql FROM source.sqlite_schema "
                       "ORDER BY type = 'index', rowid",
                       -1, &schema, nullptr);
    bool copied = schema != nullptr;
    while (copied && sqlite3_step(schema) == SQLITE_ROW) {
      const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(schema, 0));
      const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(schema, 1));
      // `+ 0` on every row keeps SQLite from moving whole records without decoding them.
      copied =
          Run(db, reinterpret_cast<const char*>(sqlite3_column_text(schema, 2))) &&
          (type != "table" || Run(db, "INSERT INTO main.\"" + name + "\" SELECT * FROM source.\"" +
                                          name + "\" WHERE rowid + 0 IS NOT NULL"));
    }
    sqlite3_finalize(schema);
    if (copied && Run(db, "COMMIT")) rows = sqlite3_total_changes64(db);
  }
  sqlite3_close(db);
  return rows;
}

struct NamedStage {
  const char* name;
  const char* items;
  voziroz::bench::Stage run;
};
constexpr NamedStage kStages[] = {
    {"Parser.Open", "lines", Open},
    {"Parser.Open + Execute", "rows", OpenAndBuild},
    {"... + export SQLite", "rows", ExportSqlite},
    {"... + export CSV", "rows", ExportCsv},
    {"SQLite copy of the db", "rows", CopyDatabase},
};
constexpr std::size_t kStageCount = std::size(kStages);

void PrintGoal(const char* what, const Measurement& exported, const Measurement& built,
               const Measurement& opened) {
  const double build_cpu = built.cpu_seconds - opened.cpu_seconds;
  const double build_wall = built.seconds - opened.seconds;
  const double export_cpu = exported.cpu_seconds - built.cpu_seconds;
  const double export_wall = exported.seconds - built.seconds;
  std::printf(
      "%s adds %.3f s CPU (%.3f s wall) and %.1f MB peak; the build adds %.3f s CPU "
      "(%.3f s wall): %.2fx CPU, %.2fx wall (goal <= 1)\n",
      what, export_cpu, export_wall,
      static_cast<double>(exported.peak_bytes - built.peak_bytes) / (1 << 20), build_cpu,
      build_wall, export_cpu / build_cpu, export_wall / build_wall);
}

int Run(std::span<char*> args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: export_bench FILE [REPEATS]\n");
    return 2;
  }
  const std::string file = args[0];
  const int repeats = args.size() == 2 ? std::atoi(args[1]) : 3;
  std::string folder = (std::filesystem::temp_directory_path() / "voziroz-export-XXXXXX").string();
  if (repeats < 1 || !mkdtemp(folder.data())) {
    std::fprintf(stderr, "export_bench: bad REPEATS or no temporary folder\n");
    return 2;
  }
  OutputFolder() = folder;
  const double megabytes = static_cast<double>(std::filesystem::file_size(file)) / (1 << 20);
  std::printf("file %s: %.1f MB, best of %d runs, load average %.2f\n", file.c_str(), megabytes,
              repeats, voziroz::bench::LoadAverage());
  std::printf("%-24s %7s %7s %7s %8s %7s %11s\n", "stage", "wall s", "cpu s", "sys s", "peak MB",
              "x file", "items");
  Measurement m[kStageCount];
  for (std::size_t s = 0; s < kStageCount; ++s) {
    if (!voziroz::bench::MeasureBest(kStages[s].run, file, repeats, m[s])) {
      std::printf("%-24s failed\n", kStages[s].name);
      std::filesystem::remove_all(folder);
      return 1;
    }
    std::printf("%-24s %7.3f %7.3f %7.3f %8.1f %7.2f %11lld %s\n", kStages[s].name, m[s].seconds,
                m[s].cpu_seconds, m[s].system_seconds,
                static_cast<double>(m[s].peak_bytes) / (1 << 20),
                static_cast<double>(m[s].peak_bytes) / (megabytes * (1 << 20)),
                static_cast<long long>(m[s].items), kStages[s].items);
  }
  std::printf("sizes: database %.1f MB\n",
              static_cast<double>(std::filesystem::file_size(folder + "/out.db")) / (1 << 20));
  PrintGoal("export SQLite", m[2], m[1], m[0]);
  PrintGoal("export CSV", m[3], m[1], m[0]);
  std::printf(
      "SQLite alone copies the same rows and indexes in %.3f s CPU (%.3f s wall): %.2fx what the "
      "SQLite export adds\n",
      m[4].cpu_seconds, m[4].seconds, m[4].cpu_seconds / (m[2].cpu_seconds - m[1].cpu_seconds));
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(std::span<char*>(argv + 1, argc - 1));
}
