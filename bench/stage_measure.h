// Measuring one stage of a benchmark: each run in its own child process, so that each run's peak
// resident memory (VmHWM) is its own, with wall, CPU and system time and minor page faults.
#pragma once

#include <cstdint>
#include <string>

#include "bench/process_stats.h"

namespace voziroz::bench {

// What one run of a stage reports to the parent through a pipe.
struct Measurement {
  double seconds = 0;      // wall-clock time
  double cpu_seconds = 0;  // user + system time: less disturbed by other jobs on a shared machine
  double system_seconds = 0;  // the kernel's share: page faults, zeroing fresh memory, reads
  std::int64_t items = 0;     // lines counted or stored; -1 when the stage failed
  std::int64_t peak_bytes = 0;
  std::int64_t minor_faults = 0;
};

// A stage: does its work on `file` and returns the items it handled (-1 when it failed).
using Stage = std::int64_t (*)(const std::string& file);

// Best wall time of `repeats` runs, and the CPU and system times of the run with the best CPU
// time; the peak and faults are those of the run with the best wall time. False when a run failed.
bool MeasureBest(Stage stage, const std::string& file, int repeats, Measurement& best);

// Folds one run into `best` as MeasureBest does (`first`: the run is the first).
void KeepBest(const Measurement& m, bool first, Measurement& best);

}  // namespace voziroz::bench
