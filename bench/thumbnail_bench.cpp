// thumbnail_bench: time and peak memory of CreateThumbnail on a 24-megapixel JPEG into a
// 200x200 box, beside Debian's `djpeg -scale 1/8 | cjpeg` on the same file in the same run.
//
//   thumbnail_bench [REPEATS]
//
// The source (6000x4000, baseline, quality 90) is made with cjpeg from a generated PPM in a
// scratch folder. Every run is its own child process, so each peak resident size (ru_maxrss)
// is that run's own; the two kinds of run alternate and the median of REPEATS (default 5) is
// kept. The pipeline's peak is the sum of its two processes, which run at the same time.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/thumbnail.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSourceWidth = 6000;
constexpr int kSourceHeight = 4000;
constexpr int kBox = 200;

struct Run {
  double seconds = 0;
  double peak_mib = 0;
  bool ok = true;
};

// Starts `argv` with its standard input and output on the given descriptors (-1: inherited).
pid_t Spawn(const std::vector<std::string>& argv, int in_fd, int out_fd) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (in_fd >= 0) dup2(in_fd, STDIN_FILENO);
  if (out_fd >= 0) dup2(out_fd, STDOUT_FILENO);
  for (int fd = 3; fd < 64; ++fd) close(fd);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Waits for `pid`; adds its peak resident size to `run` and clears run.ok on a failed exit.
void Reap(pid_t pid, Run& run) {
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.peak_mib += usage.ru_maxrss / 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.ok = false;
}

int OpenForWriting(const fs::path& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Gradients with pseudo-random texture, so the JPEG is about as dense as a photograph's.
void WritePpm(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << kSourceWidth << ' ' << kSourceHeight << "\n255\n";
  std::vector<char> row(kSourceWidth * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kSourceHeight; ++y) {
    for (int x = 0; x < kSourceWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = static_cast<int>(noise >> 27) - 16;
      row[3 * x] = static_cast<char>(std::clamp(x * 255 / kSourceWidth + grain, 0, 255));
      row[3 * x + 1] = static_cast<char>(std::clamp(y * 255 / kSourceHeight + grain, 0, 255));
      row[3 * x + 2] = static_cast<char>(std::clamp(((x / 40 + y / 40) % 2) * 160 + grain, 0, 255));
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

bool MakeSource(const fs::path& folder, const fs::path& jpeg) {
  const fs::path ppm = folder / "source.ppm";
  WritePpm(ppm);
  Run run;
  const int out = OpenForWriting(jpeg);
  Reap(Spawn({"cjpeg", "-quality", "90", ppm.string()}, -1, out), run);
  close(out);
  fs::remove(ppm);
  return run.ok;
}

Run RunCreateThumbnail(const fs::path& source, const fs::path& target) {
  const auto start = std::chrono::steady_clock::now();
  Run run;
  Reap(Spawn({"/proc/self/exe", "--thumbnail", source.string(), target.string()}, -1, -1), run);
  run.seconds = SecondsSince(start);
  return run;
}

Run RunDjpegCjpeg(const fs::path& source, const fs::path& target) {
  const auto start = std::chrono::steady_clock::now();
  Run run;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return Run{0, 0, false};
  const int out = OpenForWriting(target);
  const pid_t djpeg = Spawn({"djpeg", "-scale", "1/8", source.string()}, -1, pipe_fds[1]);
  const pid_t cjpeg = Spawn({"cjpeg", "-quality", "90", "-progressive"}, pipe_fds[0], out);
  close(pipe_fds[0]);
  close(pipe_fds[1]);
  close(out);
  Reap(djpeg, run);
  Reap(cjpeg, run);
  run.seconds = SecondsSince(start);
  return run;
}

Run Median(std::vector<Run> runs) {
  Run median;
  for (const Run& run : runs) median.ok = median.ok && run.ok;
  const auto middle = runs.begin() + runs.size() / 2;
  std::nth_element(runs.begin(), middle, runs.end(),
                   [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  median.seconds = middle->seconds;
  median.peak_mib = std::max_element(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
                      return a.peak_mib < b.peak_mib;
                    })->peak_mib;
  return median;
}

void Print(const char* name, const Run& run) {
  std::printf("%-30s median %.3f s, peak RSS %.1f MiB%s\n", name, run.seconds, run.peak_mib,
              run.ok ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--thumbnail") {
    return voziroz::CreateThumbnail(argv[2], argv[3], kBox, kBox, 0xFFFFFF) ? 0 : 1;
  }
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  char pattern[] = "/tmp/voziroz-thumbnail-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const fs::path folder = pattern;
  const fs::path source = folder / "source.jpg";
  if (!MakeSource(folder, source)) {
    std::fprintf(stderr, "cjpeg failed (is libjpeg-turbo-progs installed?)\n");
    fs::remove_all(folder);
    return 1;
  }
  std::printf("source: %dx%d (%.1f MP), %.1f MB baseline JPEG; box %dx%d; %d runs each\n",
              kSourceWidth, kSourceHeight, kSourceWidth * kSourceHeight / 1e6,
              fs::file_size(source) / 1e6, kBox, kBox, repeats);

  std::vector<Run> ours, theirs;
  for (int i = 0; i < repeats; ++i) {
    ours.push_back(RunCreateThumbnail(source, folder / "ours.jpg"));
    theirs.push_back(RunDjpegCjpeg(source, folder / "theirs.jpg"));
  }
  const Run a = Median(ours);
  const Run b = Median(theirs);
  Print("CreateThumbnail (full decode)", a);
  Print("djpeg -scale 1/8 | cjpeg", b);
  std::printf("ratio CreateThumbnail / pipeline: time %.1fx, peak memory %.1fx\n",
              a.seconds / b.seconds, a.peak_mib / b.peak_mib);
  fs::remove_all(folder);
  return a.ok && b.ok ? 0 : 1;
}
