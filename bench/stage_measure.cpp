#include "bench/stage_measure.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace voziroz::bench {
namespace {

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}
double CpuSeconds(const rusage& usage) {
  return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// Runs the stage in a child process; the child measures itself and sends the figures back.
bool MeasureInChild(Stage stage, const std::string& file, Measurement& result) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (child == 0) {
    close(fds[0]);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    auto start = std::chrono::steady_clock::now();
    Measurement m;
    m.items = stage(file);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    m.peak_bytes = PeakResidentBytes();
    m.cpu_seconds = CpuSeconds(after) - CpuSeconds(before);
    m.system_seconds = Seconds(after.ru_stime) - Seconds(before.ru_stime);
    m.minor_faults = after.ru_minflt - before.ru_minflt;
    bool sent = write(fds[1], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    _exit(sent ? 0 : 1);
  }
  close(fds[1]);
  bool received = read(fds[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void KeepBest(const Measurement& m, bool first, Measurement& best) {
  bool best_cpu = first || m.cpu_seconds < best.cpu_seconds;
  double cpu = best_cpu ? m.cpu_seconds : best.cpu_seconds;
  double system = best_cpu ? m.system_seconds : best.system_seconds;
  if (first || m.seconds < best.seconds) best = m;
  best.cpu_seconds = cpu;
  best.system_seconds = system;
}

bool MeasureBest(Stage stage, const std::string& file, int repeats, Measurement& best) {
  for (int r = 0; r < repeats; ++r) {
    Measurement m;
    if (!MeasureInChild(stage, file, m) || m.items < 0) return false;
    KeepBest(m, r == 0, best);
  }
  return true;
}

}  // namespace voziroz::bench
