// Runs one way of stepping the block N times, for instruction counts under
// callgrind: the difference between runs of N and 2N steps, divided by N, is
// the cost of one step, free of load and set-up. Prints how often the module
// registered its exit function in the run.
//   step_driver MODULE floor|slot|callsite|bare|standalone|direct N
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "bench/bench_host.h"
#include "standin_host/host_calls.h"

namespace {

std::function<void()> pickStep(bench::BenchHost& host, const std::string& way) {
  if (way == "floor") return [&host] { host.driverWrites(); };
  if (way == "slot") return [&host] { host.stepThroughSlot(); };
  if (way == "callsite") return [&host] { host.stepThroughCallSite(); };
  if (way == "bare") return [&host] { host.stepThroughBareMexFunction(); };
  if (way == "standalone") return [&host] { host.standaloneSetUp(); };
  if (way == "direct") return [&host] { host.directSetUp(); };
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s MODULE floor|slot|callsite|bare|standalone|direct N\n",
                 argv[0]);
    return 2;
  }
  bench::BenchHost host(argv[1]);
  if (!host.ok()) {
    std::fprintf(stderr, "%s\n", host.error().c_str());
    return 1;
  }
  const std::function<void()> step = pickStep(host, argv[2]);
  const long count = std::strtol(argv[3], nullptr, 10);
  if (!step || count < 0) {
    std::fprintf(stderr, "unknown way '%s' or bad count '%s'\n", argv[2], argv[3]);
    return 2;
  }
  for (long i = 0; i < count; ++i) step();
  // Loading set the block up once: every exit-function registration of this
  // load, however many calls followed.
  std::printf("mexAtExit calls %zu\n", standinExitRegistrationCount());
  return 0;
}
