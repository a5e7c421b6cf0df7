#include "cli/export_progress.h"

namespace voziroz::cli {
namespace {

constexpr std::chrono::milliseconds kInterval{100};

}  // namespace

ExportProgress::ExportProgress(std::FILE* out, std::chrono::milliseconds delay)
    : out_(out), show_from_(Clock::now() + delay), next_show_(show_from_) {}

void ExportProgress::Begin(std::int64_t lines_read, std::int64_t total_rows) {
  lines_read_ = lines_read;
  total_rows_ = total_rows;
  rows_written_ = 0;
  next_check_ = kRowsPerCheck;
  Check();
}

void ExportProgress::Phase(std::string_view phase) {
  phase_ = phase;
  Check(true);
}

void ExportProgress::Check(bool now) {
  if (!out_) return;
  const Clock::time_point time = Clock::now();
  if (time < (now ? show_from_ : next_show_)) return;
  next_show_ = time + kInterval;
  Show();
}

void ExportProgress::Show() {
  const std::int64_t percent = total_rows_ > 0 ? rows_written_ * 100 / total_rows_ : 100;
  // ESC [ K clears what a longer line before left on the right.
  std::fprintf(out_,
               "\rvoziroz export: %lld lines read, %lld of %lld rows written (%lld%%)%s%.*s\x1b[K",
               static_cast<long long>(lines_read_), static_cast<long long>(rows_written_),
               static_cast<long long>(total_rows_), static_cast<long long>(percent),
               phase_.empty() ? "" : ", ", static_cast<int>(phase_.size()), phase_.data());
  std::fflush(out_);
  shown_ = true;
}

void ExportProgress::End() {
  if (!shown_) return;
  phase_ = {};
  Show();
  std::fputc('\n', out_);
  std::fflush(out_);
  shown_ = false;
}

}  // namespace voziroz::cli
