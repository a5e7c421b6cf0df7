// load_bench: time and peak memory of reading a GEDCOM file, beside a floor measured in the
// same run on the same file.
//
//   load_bench FILE [REPEATS]
//
// Stages, each run REPEATS times (default 3, best time kept), every run in its own child process
// so that each stage's peak resident memory (VmHWM) is its own:
//   floor      map the file read-only and count its lines with memchr
//   load       LoadFileText
//   pre-parse  LoadFileText + PreParseLines
//   build      LoadFileText + PreParseLines + BuildTables
// The last three run in the Windows-1252 and the UTF-8 code page, their runs taking turns so
// that the other jobs of a shared machine weigh on both alike.
// Times and peaks are reported absolute and as ratios to the floor's time and the file's size;
// then each stage's time in UTF-8 as a ratio to its time in Windows-1252.
// Wall time is the goal's measure; CPU time (user + system) is printed beside it because on a
// shared machine other jobs stretch wall time far more than CPU time.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "bench/stage_measure.h"
#include "engine/gedcom_reader.h"
#include "engine/simple_table.h"
#include "engine/table_builder.h"

namespace {

using voziroz::CodePage;
using voziroz::bench::KeepBest;
using voziroz::bench::LoadAverage;
using voziroz::bench::MeasureBest;
using voziroz::bench::Measurement;
using voziroz::bench::Stage;

// The code page the stages run in (the child processes inherit it).
CodePage code_page = CodePage::SingleByte;

std::int64_t CountLinesOfMapping(const std::string& file) {
  int fd = open(file.c_str(), O_RDONLY);
  if (fd < 0) return -1;
  struct stat info {};
  fstat(fd, &info);
  std::size_t size = static_cast<std::size_t>(info.st_size);
  void* map = size ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
  close(fd);
  if (map == MAP_FAILED) return -1;
  const char* p = static_cast<const char*>(map);
  const char* end = p + size;
  std::int64_t lines = 0;
  while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
    ++lines;
    ++p;
  }
  munmap(map, size);
  return lines;
}

std::int64_t Load(const std::string& file) {
  voziroz::LoadedText loaded = voziroz::LoadFileText(file, code_page);
  return loaded.Readable ? static_cast<std::int64_t>(loaded.Text.size()) : -1;
}

std::int64_t LoadAndPreParse(const std::string& file) {
  voziroz::LoadedText loaded = voziroz::LoadFileText(file, code_page);
  if (!loaded.Readable) return -1;
  std::optional<voziroz::TLines> lines = voziroz::PreParseLines(std::move(loaded.Text), code_page);
  return lines ? lines->Count : -1;
}

// Rows of the five finished tables.
std::int64_t LoadPreParseAndBuild(const std::string& file) {
  voziroz::LoadedText loaded = voziroz::LoadFileText(file, code_page);
  if (!loaded.Readable) return -1;
  std::optional<voziroz::TLines> lines = voziroz::PreParseLines(std::move(loaded.Text), code_page);
  if (!lines) return -1;
  voziroz::tSimpleTable person, event, family, source, multimedia;
  if (!voziroz::BuildTables(*lines, person, event, family, source, multimedia, code_page))
    return -1;
  std::int64_t rows = 0;
  for (const voziroz::tSimpleTable* table : {&person, &event, &family, &source, &multimedia})
    rows += table->LastRow + 1;
  return rows;
}

struct NamedStage {
  const char* name;
  const char* items;
  Stage run;
};
constexpr NamedStage kStages[] = {
    {"floor: mmap + memchr", "lines", CountLinesOfMapping},
    {"LoadFileText", "bytes", Load},
    {"LoadFileText + PreParseLines", "lines", LoadAndPreParse},
    {"... + BuildTables", "rows", LoadPreParseAndBuild},
};

int Run(std::span<char*> args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "usage: load_bench FILE [REPEATS]\n");
    return 2;
  }
  const std::string file = args[0];
  const int repeats = args.size() == 2 ? std::atoi(args[1]) : 3;
  struct stat info {};
  if (stat(file.c_str(), &info) != 0 || info.st_size == 0 || repeats < 1) {
    std::fprintf(stderr, "load_bench: '%s' is not a readable non-empty file (or bad REPEATS)\n",
                 file.c_str());
    return 2;
  }
  const double megabytes = static_cast<double>(info.st_size) / (1 << 20);
  std::printf("file %s: %.1f MB, best of %d runs, load average %.2f\n", file.c_str(), megabytes,
              repeats, LoadAverage());
  std::printf("%-30s %7s %7s %7s %7s %8s %7s %8s %7s %7s %11s\n", "stage", "wall s", "cpu s",
              "sys s", "MB/s", "x floor", "(cpu)", "peak MB", "x file", "faults", "items");
  Measurement by_page[2][std::size(kStages)];
  if (!MeasureBest(kStages[0].run, file, repeats, by_page[0][0])) return 1;
  for (std::size_t i = 1; i < std::size(kStages); ++i) {
    for (int r = 0; r < repeats; ++r) {
      for (CodePage page : {CodePage::SingleByte, CodePage::Utf8}) {
        code_page = page;
        Measurement m;
        if (!MeasureBest(kStages[i].run, file, 1, m)) {
          std::printf("%-30s failed\n", kStages[i].name);
          return 1;
        }
        KeepBest(m, r == 0, by_page[page == CodePage::Utf8][i]);
      }
    }
  }
  const Measurement& floor = by_page[0][0];
  for (int p : {0, 1}) {
    std::printf("%s\n", p ? "UTF-8 (65001)" : "Windows-1252");
    for (std::size_t i = p ? 1 : 0; i < std::size(kStages); ++i) {
      const Measurement& m = by_page[p][i];
      std::printf("%-30s %7.3f %7.3f %7.3f %7.0f %8.2f %7.2f %8.1f %7.2f %7lld %11lld %s\n",
                  kStages[i].name, m.seconds, m.cpu_seconds, m.system_seconds,
                  megabytes / m.seconds, m.seconds / floor.seconds,
                  m.cpu_seconds / std::max(floor.cpu_seconds, 1e-6),
                  static_cast<double>(m.peak_bytes) / (1 << 20),
                  static_cast<double>(m.peak_bytes) / static_cast<double>(info.st_size),
                  static_cast<long long>(m.minor_faults), static_cast<long long>(m.items),
                  kStages[i].items);
    }
  }
  std::printf("UTF-8 / Windows-1252 (wall, cpu):");
  for (std::size_t i = 1; i < std::size(kStages); ++i) {
    std::printf("  %s %.2f %.2f", kStages[i].name, by_page[1][i].seconds / by_page[0][i].seconds,
                by_page[1][i].cpu_seconds / std::max(by_page[0][i].cpu_seconds, 1e-6));
  }
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(std::span<char*>(argv + 1, argc - 1));
}
