// ancestors_bench: Parser.GetAncestors for the persons with the deepest known ancestry of a file.
//
//   ancestors_bench FILE [PERSONS]
//
// Opens and executes FILE through a Parser, then asks the range (generation 0) of every person
// in the PERSON table to find the PERSONS (default 100) with the deepest ancestry. For each of
// them it asks the range (a new person: the pedigree is built) and generations 1 to 20 in order;
// for the deepest one, also generations 21 to 24 (the largest allowed). Every request is a call
// by name, as a script makes it. Reported per kind of request: how many, the mean and the longest
// time, and for a generation the floor: making its answer alone, an array of 2^g identifiers.
// Peak resident memory is reported after loading and, counted afresh, for each group of
// requests.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "automation/call_by_name.h"
#include "automation/parser_object.h"
#include "bench/process_stats.h"

namespace voziroz::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDeepestAskedOfAll = 20;
constexpr int kDeepestAllowed = 24;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Megabytes(std::int64_t bytes) {
  return static_cast<double>(bytes) / (1 << 20);
}

struct Timing {
  int count = 0;
  double total = 0;
  double longest = 0;
  void Add(double seconds) {
    ++count;
    total += seconds;
    longest = std::max(longest, seconds);
  }
};

// One request by name; its time goes to `timing`.
Variant Ask(AutomationObject& parser, std::int32_t id, std::int32_t generation, Timing& timing) {
  const Clock::time_point start = Clock::now();
  Variant answer = CallByName(parser, "GetAncestors", {Variant::I4(id), Variant::I4(generation)});
  timing.Add(SecondsSince(start));
  return answer;
}

// The best of three times to make an array of 2^g I4 variants, as an answer is made.
double FloorOfGeneration(int g) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const Clock::time_point start = Clock::now();
    std::vector<Variant> ids;
    ids.reserve(std::size_t{1} << g);
    for (std::size_t k = 0; k < (std::size_t{1} << g); ++k) ids.push_back(Variant::I4(-1));
    const Variant answer = Variant::Array(VariantArray(std::move(ids)));
    best = std::min(best, SecondsSince(start));
  }
  return best;
}

void PrintRow(const char* request, const Timing& t, double floor) {
  std::printf("%-16s %8d %10.1f %10.1f", request, t.count, 1e6 * t.total / std::max(t.count, 1),
              1e6 * t.longest);
  if (floor > 0) std::printf(" %10.1f %8.2f", 1e6 * floor, t.total / t.count / floor);
  std::printf("\n");
}

void PrintPeak(const char* what, std::int64_t base) {
  const std::int64_t peak = PeakResidentBytes();
  std::printf("peak resident memory %s: %.0f MB", what, Megabytes(peak));
  if (base > 0)
    std::printf(" (%.0f MB above the %.0f MB before)", Megabytes(peak - base), Megabytes(base));
  std::printf("\n");
}

// Starts counting the peak afresh; returns the resident memory it starts from (0 when the
// system does not allow it, so that the peak counts from the start of the process).
std::int64_t NewPeak() {
  return ResetPeakResident() ? PeakResidentBytes() : 0;
}

// (depth, id) of every person, deepest first, then by identifier.
std::vector<std::pair<int, std::int32_t>> DepthOfEveryPerson(TParser& parser) {
  std::set<std::int32_t> ids;
  const SharedTable persons = parser.TableNamed("PERSON");
  for (std::int32_t row = 0; persons && row <= persons->LastRow; ++row)
    ids.insert(persons->KeyOf(row));
  std::vector<std::pair<int, std::int32_t>> depths;
  Timing scan;
  for (std::int32_t id : ids) {
    const Variant range = Ask(parser, id, 0, scan);
    depths.emplace_back(-range.AsArray()[1].AsI4(), id);
  }
  std::sort(depths.begin(), depths.end());
  for (auto& [depth, id] : depths) depth = -depth;
  std::printf("range of every person (%d): %.3f s, %.1f us a request\n", scan.count, scan.total,
              1e6 * scan.total / std::max(scan.count, 1));
  return depths;
}

int Run(const char* file, std::size_t persons) {
  const ObjectPtr<TParser> parser = MakeObject<TParser>();
  const Clock::time_point start = Clock::now();
  CallByName(*parser, "Open", {Variant::Text(file)});
  if (!ToBool(CallByName(*parser, "Execute"))) {
    std::fprintf(stderr, "ancestors_bench: cannot open and execute %s\n", file);
    return 1;
  }
  std::printf("file %s: Open + Execute %.3f s, load average %.2f\n", file, SecondsSince(start),
              LoadAverage());
  PrintPeak("after Open + Execute", 0);
  std::int64_t base = NewPeak();

  auto depths = DepthOfEveryPerson(*parser);
  depths.resize(std::min(depths.size(), persons));
  if (depths.empty()) return 1;
  std::printf("%zu deepest persons: deepest generation %d to %d\n", depths.size(),
              depths.back().first, depths.front().first);
  std::printf("%-16s %8s %10s %10s %10s %8s\n", "request", "answered", "mean us", "max us",
              "floor us", "x floor");
  Timing range, generations[kDeepestAskedOfAll + 1];
  for (const auto& [depth, id] : depths) {
    Ask(*parser, id, 0, range);
    for (int g = 1; g <= std::min(depth, kDeepestAskedOfAll); ++g)
      Ask(*parser, id, g, generations[g]);
  }
  PrintRow("range (build)", range, 0);
  for (int g = 1; g <= kDeepestAskedOfAll && generations[g].count > 0; ++g)
    PrintRow(("generation " + std::to_string(g)).c_str(), generations[g], FloorOfGeneration(g));
  PrintPeak("during these requests", base);

  base = NewPeak();
  const auto [deepest, deepest_id] = depths.front();
  for (int g = kDeepestAskedOfAll + 1; g <= std::min(deepest, kDeepestAllowed); ++g) {
    Timing one;
    Ask(*parser, deepest_id, g, one);
    PrintRow(("generation " + std::to_string(g)).c_str(), one, FloorOfGeneration(g));
  }
  if (deepest > kDeepestAskedOfAll) PrintPeak("during generations 21 to 24 of the deepest", base);
  return 0;
}

}  // namespace
}  // namespace voziroz::bench

int main(int argc, char** argv) {
  const long persons = argc == 3 ? std::atol(argv[2]) : 100;
  if (argc < 2 || argc > 3 || persons < 1) {
    std::fprintf(stderr, "usage: ancestors_bench FILE [PERSONS]\n");
    return 2;
  }
  try {
    return voziroz::bench::Run(argv[1], static_cast<std::size_t>(persons));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ancestors_bench: %s\n", e.what());
    return 1;
  }
}
