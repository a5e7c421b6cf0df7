#include "ftp/ftp_limits.h"

namespace voziroz::ftpx {
namespace {

Deadlines g_deadlines;

}  // namespace

const Deadlines& CurrentDeadlines() {
  return g_deadlines;
}

Deadlines SetDeadlinesForTesting(const Deadlines& deadlines) {
  Deadlines replaced = g_deadlines;
  g_deadlines = deadlines;
  return replaced;
}

LowSpeedWatch::LowSpeedWatch() : mark_time_(std::chrono::steady_clock::now()) {}

bool LowSpeedWatch::Moved(std::uint64_t bytes) {
  const Deadlines& deadlines = CurrentDeadlines();
  auto now = std::chrono::steady_clock::now();
  if (bytes >= mark_bytes_ + deadlines.low_speed_bytes) {
    mark_bytes_ = bytes;
    mark_time_ = now;
  }
  return now - mark_time_ <= deadlines.low_speed_window;
}

}  // namespace voziroz::ftpx
