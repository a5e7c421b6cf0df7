// containers_bench: time per operation and peak memory of KeyList, Queue and Stack, called from
// C++, by DISPID through the dispatcher (a host that looks names up once), and by name (a host
// that looks the name up on every call), beside a standard-library floor in the same run.
//
//   containers_bench [REPEATS]
//
// KeyList: 100000 Adds of random 10-character keys, then 100000 Item lookups in another random
// order. Queue and Stack: 1000000 Puts of integers, then 1000000 Gets (a Put/Get pair per value,
// all values held at the peak). Every run is its own child process, so each peak resident size
// (ru_maxrss, less that of an idle child) is that run's own; the median of REPEATS (default 3).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "containers/key_list.h"
#include "containers/key_order.h"
#include "containers/queue.h"
#include "containers/stack.h"

namespace {

using namespace voziroz;

constexpr int kKeys = 100000;
constexpr int kPairs = 1000000;

// The two phases of a run, in nanoseconds per operation.
struct Timing {
  double First = 0;
  double Second = 0;
};

struct Run {
  Timing Ns;
  double PeakMib = 0;
};

double NsPerOp(std::chrono::steady_clock::time_point start, int ops) {
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
             .count() /
         ops;
}

// Times `first` and then `second`, each called with 0 .. count-1.
Timing TwoPhases(int count, const std::function<void(int)>& first,
                 const std::function<void(int)>& second) {
  Timing t;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) first(i);
  t.First = NsPerOp(start, count);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) second(i);
  t.Second = NsPerOp(start, count);
  return t;
}

// A late-bound member call: by DISPID looked up once, or by name on every call.
std::function<Variant(std::vector<Variant>&)> Late(AutomationObject& object, std::string_view name,
                                                   bool by_name) {
  if (by_name)
    return [&object, name](std::vector<Variant>& args) { return CallByName(object, name, args); };
  DispId id = kDispIdUnknown;
  const std::string_view names[] = {name};
  GetIDsOfNames(*object.Class().Interface, names, std::span(&id, 1));
  return [&object, id](std::vector<Variant>& args) {
    Variant result;
    if (!Invoke(object, id, kInvokeMethod | kInvokePropertyGet, args, result).Succeeded())
      std::abort();
    return result;
  };
}

struct KeySet {
  std::vector<std::string> Added;   // in the order of the Adds
  std::vector<std::string> Looked;  // the same keys in the order of the lookups
};

KeySet RandomKeys() {
  std::mt19937 random(20240611);
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  KeySet keys;
  for (int i = 0; i < kKeys; ++i) {
    std::string key(10, ' ');
    for (char& c : key) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
    keys.Added.push_back(key);
  }
  keys.Looked = keys.Added;
  std::shuffle(keys.Looked.begin(), keys.Looked.end(), random);
  return keys;
}

Timing KeyListRun(const std::string& way) {
  const KeySet keys = RandomKeys();
  if (way == "floor") {
    struct Less {
      bool operator()(const std::string& a, const std::string& b) const {
        return CompareKeys(a, b) < 0;
      }
    };
    std::map<std::string, Variant, Less> map;
    return TwoPhases(
        kKeys, [&](int i) { map.emplace(keys.Added[i], Variant::I4(i)); },
        [&](int i) {
          if (map.find(keys.Looked[i]) == map.end()) std::abort();
        });
  }
  const ObjectPtr<AutomationObject> object = CreateKeyList();
  auto& list = static_cast<TKeyList&>(*object);
  if (way == "C++")
    return TwoPhases(
        kKeys, [&](int i) { list.Add(keys.Added[i], Variant::I4(i)); },
        [&](int i) { list.Item(keys.Looked[i]); });
  const bool by_name = way == "by name";
  auto add = Late(list, "Add", by_name);
  auto item = Late(list, "Item", by_name);
  return TwoPhases(
      kKeys,
      [&](int i) {
        std::vector<Variant> args = {Variant::Text(keys.Added[i]), Variant::I4(i)};
        add(args);
      },
      [&](int i) {
        std::vector<Variant> args = {Variant::Text(keys.Looked[i])};
        item(args);
      });
}

// Puts kPairs integers into a fresh Queue or Stack (T), then gets them all.
template <class T>
Timing ChainRun(const std::string& way) {
  if (way == "floor") {
    std::deque<Variant> deque;
    return TwoPhases(
        kPairs, [&](int i) { deque.push_back(Variant::I4(i)); },
        [&](int) {
          Variant v = std::move(deque.back());
          deque.pop_back();
        });
  }
  const ObjectPtr<T> chain = MakeObject<T>();
  if (way == "C++")
    return TwoPhases(
        kPairs, [&](int i) { chain->Put(Variant::I4(i)); }, [&](int) { chain->Get(); });
  const bool by_name = way == "by name";
  auto put = Late(*chain, "Put", by_name);
  auto get = Late(*chain, "Get", by_name);
  return TwoPhases(
      kPairs,
      [&](int i) {
        std::vector<Variant> args = {Variant::I4(i)};
        put(args);
      },
      [&](int) {
        std::vector<Variant> args;
        get(args);
      });
}

Timing Scenario(const std::string& container, const std::string& way) {
  if (container == "KeyList") return KeyListRun(way);
  if (container == "Queue") return ChainRun<TQueue>(way);
  if (container == "Stack") return ChainRun<TStack>(way);
  return {};  // the idle child
}

// Runs the scenario in a child process; its timings come back through a pipe.
Run RunInChild(const std::string& container, const std::string& way) {
  int channel[2];
  if (pipe(channel) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    const Timing t = Scenario(container, way);
    if (write(channel[1], &t, sizeof t) != static_cast<ssize_t>(sizeof t)) _exit(1);
    _exit(0);
  }
  close(channel[1]);
  Run run;
  if (read(channel[0], &run.Ns, sizeof run.Ns) != static_cast<ssize_t>(sizeof run.Ns)) std::abort();
  close(channel[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.PeakMib = usage.ru_maxrss / 1024.0;
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

Run MedianRun(const std::string& container, const std::string& way, int repeats) {
  std::vector<double> first, second, peak;
  for (int r = 0; r < repeats; ++r) {
    const Run run = RunInChild(container, way);
    first.push_back(run.Ns.First);
    second.push_back(run.Ns.Second);
    peak.push_back(run.PeakMib);
  }
  return {{Median(first), Median(second)}, Median(peak)};
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const double idle_mib = MedianRun("idle", "", repeats).PeakMib;
  std::printf("idle child: %.1f MiB peak RSS (subtracted below)\n\n", idle_mib);
  std::printf("| container | called | ns per %s | ns per %s | peak MiB | vs floor |\n", "put/add",
              "get/lookup");
  std::printf("|---|---|---|---|---|---|\n");
  for (const char* container : {"KeyList", "Queue", "Stack"}) {
    const Run floor = MedianRun(container, "floor", repeats);
    for (const char* way : {"floor", "C++", "by DISPID", "by name"}) {
      const Run run = std::string(way) == "floor" ? floor : MedianRun(container, way, repeats);
      std::printf("| %s | %s | %.0f | %.0f | %.1f | %.1fx |\n", container, way, run.Ns.First,
                  run.Ns.Second, run.PeakMib - idle_mib,
                  (run.Ns.First + run.Ns.Second) / (floor.Ns.First + floor.Ns.Second));
    }
  }
  return 0;
}
