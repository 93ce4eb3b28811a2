// What a step and a set-up call cost, as ratios to the floor: the two driver
// writes of one step called directly. The card's writes are no-ops, so what
// is left above the floor is the module and the host's way into it.
//   bench_steps --module PATH [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_host.h"
#include "simcard/simcard.h"

namespace bench {
namespace {

BenchHost* host = nullptr;

// Set-ups open a pair of tasks each, and the card keeps an entry for every
// task it ever made; it is emptied now and then, outside the timing.
constexpr long kSetUpsBetweenCardResets = 1 << 14;

void resetCardUntimed(benchmark::State& state) {
  state.PauseTiming();
  simcardReset();
  simcardSetWritesNoop(true);
  state.ResumeTiming();
}

void Floor_DriverWrites(benchmark::State& state) {
  for (auto _ : state) host->driverWrites();
}

void Step_OutputsSlot(benchmark::State& state) {
  for (auto _ : state) host->stepThroughSlot();
}

void Step_MexFunction_CallSite(benchmark::State& state) {
  for (auto _ : state) {
    if (!host->stepThroughCallSite()) state.SkipWithError("a step ended in an error");
  }
}

void Step_MexFunction_Bare(benchmark::State& state) {
  for (auto _ : state) host->stepThroughBareMexFunction();
}

void SetUp_Standalone(benchmark::State& state) {
  long sinceReset = 0;
  for (auto _ : state) {
    if (!host->standaloneSetUp()) state.SkipWithError("a set-up call failed");
    if (++sinceReset == kSetUpsBetweenCardResets) {
      resetCardUntimed(state);
      sinceReset = 0;
    }
  }
}

void SetUp_Direct(benchmark::State& state) {
  long sinceReset = 0;
  for (auto _ : state) {
    if (!host->directSetUp()) state.SkipWithError("a set-up call failed");
    if (++sinceReset == kSetUpsBetweenCardResets) {
      resetCardUntimed(state);
      sinceReset = 0;
    }
  }
}

// Keeps the fastest repetition of each benchmark (the least disturbed on a
// shared machine) and prints the ratios to the floor at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const double nanoseconds = run.GetAdjustedCPUTime();
      auto found = fastest_.find(name);
      if (found == fastest_.end()) {
        fastest_[name] = nanoseconds;
      } else {
        found->second = std::min(found->second, nanoseconds);
      }
    }
  }

  void printRatios() const {
    auto floor = fastest_.find("Floor_DriverWrites");
    if (floor == fastest_.end() || floor->second <= 0.0) return;
    std::printf("\n%-28s %12s %10s\n", "measured (fastest run)", "ns", "x floor");
    for (const char* name : kReportOrder) {
      auto found = fastest_.find(name);
      if (found == fastest_.end()) continue;
      std::printf("%-28s %12.1f %10.2f\n", name, found->second, found->second / floor->second);
    }
  }

 private:
  static constexpr const char* kReportOrder[] = {
      "Floor_DriverWrites",        "Step_OutputsSlot", "Step_MexFunction_Bare",
      "Step_MexFunction_CallSite", "SetUp_Standalone", "SetUp_Direct"};
  std::map<std::string, double> fastest_;
};

// The library applies --benchmark_color to its own reporter only: the same
// rule for this one, read before the library takes the flag out of argv
// (auto, the default: colour on a terminal only).
benchmark::ConsoleReporter::OutputOptions consoleOptions(int argc, char** argv) {
  std::string color = "auto";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--benchmark_color=", 18) == 0) color = argv[i] + 18;
  }
  bool on = color == "auto" ? isatty(fileno(stdout)) != 0
                            : color == "true" || color == "yes" || color == "1";
  return on ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular;
}

// Takes --module PATH (or --module=PATH) out of argv.
std::string takeModuleArgument(int& argc, char** argv) {
  std::string path;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc) {
      path = argv[++i];
    } else if (std::strncmp(argv[i], "--module=", 9) == 0) {
      path = argv[i] + 9;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return path;
}

BENCHMARK(Floor_DriverWrites);
BENCHMARK(Step_OutputsSlot);
BENCHMARK(Step_MexFunction_CallSite);
BENCHMARK(Step_MexFunction_Bare);
BENCHMARK(SetUp_Standalone);
BENCHMARK(SetUp_Direct);

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  const std::string modulePath = bench::takeModuleArgument(argc, argv);
  if (modulePath.empty()) {
    std::fprintf(stderr, "usage: %s --module PATH [benchmark flags]\n", argv[0]);
    return 2;
  }
  const auto options = bench::consoleOptions(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  auto host = std::make_unique<bench::BenchHost>(modulePath);
  if (!host->ok()) {
    std::fprintf(stderr, "%s\n", host->error().c_str());
    return 1;
  }
  bench::host = host.get();
  bench::RatioReporter reporter(options);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  bench::host = nullptr;
  benchmark::Shutdown();
  return 0;
}
