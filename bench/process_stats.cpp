#include "bench/process_stats.h"

#include <sys/resource.h>

#include <cstdio>

namespace voziroz::bench {

std::int64_t PeakResidentBytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  long kilobytes = 0;
  if (status) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) break;
    }
    std::fclose(status);
  }
  if (kilobytes == 0) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    kilobytes = usage.ru_maxrss;
  }
  return std::int64_t{kilobytes} * 1024;
}

bool ResetPeakResident() {
  std::FILE* clear_refs = std::fopen("/proc/self/clear_refs", "w");
  if (!clear_refs) return false;
  const bool written = std::fputs("5", clear_refs) >= 0;
  return std::fclose(clear_refs) == 0 && written;
}

double LoadAverage() {
  double load = -1;
  if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load) != 1) load = -1;
    std::fclose(f);
  }
  return load;
}

}  // namespace voziroz::bench
