// Figures of the running process that the benchmarks report.
#pragma once

#include <cstdint>

namespace voziroz::bench {

// The peak resident memory of this process so far (VmHWM; ru_maxrss where that is missing).
std::int64_t PeakResidentBytes();
// Starts a new peak at the present resident memory (Linux: /proc/self/clear_refs). False when
// the system does not allow it; the peak then counts from the start of the process.
bool ResetPeakResident();
// Other jobs on the machine: the one-minute load average, or -1 when unknown.
double LoadAverage();

}  // namespace voziroz::bench
