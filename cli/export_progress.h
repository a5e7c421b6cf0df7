// ExportProgress: the progress line of `voziroz export` on a terminal ("N lines read, M of T rows
// written (P%)", then the phase), rewritten in place at most ten times a second. Nothing is shown
// before `delay` has passed since construction, so quick exports stay silent; the line is ended by
// End or the destructor once it has been shown.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace voziroz::cli {

class ExportProgress {
 public:
  // Shows nothing at all when `out` is null.
  ExportProgress(std::FILE* out, std::chrono::milliseconds delay);
  ~ExportProgress() { End(); }
  ExportProgress(const ExportProgress&) = delete;
  ExportProgress& operator=(const ExportProgress&) = delete;

  // The file's lines and the rows the export will write.
  void Begin(std::int64_t lines_read, std::int64_t total_rows);
  // Counts rows written; cheap enough for every row.
  void AddRows(std::int64_t rows) {
    rows_written_ += rows;
    if (rows_written_ >= next_check_) {
      next_check_ = rows_written_ + kRowsPerCheck;
      Check();
    }
  }
  // Names the work after the rows ("indexing", "syncing"), shown after the count at once.
  void Phase(std::string_view phase);
  // Shows the final count and ends the line, when the line was shown.
  void End();

  std::int64_t RowsWritten() const { return rows_written_; }

 private:
  static constexpr std::int64_t kRowsPerCheck = 4096;
  using Clock = std::chrono::steady_clock;

  // Shows the line when the delay has passed and, unless `now`, the last showing is old enough.
  void Check(bool now = false);
  void Show();

  std::FILE* out_;
  Clock::time_point show_from_;
  Clock::time_point next_show_;
  std::int64_t lines_read_ = 0;
  std::int64_t total_rows_ = 0;
  std::int64_t rows_written_ = 0;
  std::int64_t next_check_ = kRowsPerCheck;
  std::string_view phase_;
  bool shown_ = false;
};

}  // namespace voziroz::cli
