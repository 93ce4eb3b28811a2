// Parses any command line (words split at NUL bytes). The parser must refuse
// it in one line or give options within their documented ranges; anything
// else aborts the run as a finding.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/finding.h"
#include "sim/options.h"

using fuzz::finding;
using fuzz::oneLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words = {"twinvolts-sim"};
  words.emplace_back();
  for (size_t i = 0; i < size && words.size() <= 32; ++i) {
    if (data[i] == 0)
      words.emplace_back();
    else
      words.back() += static_cast<char>(data[i]);
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  sim::Options options;
  std::string error;
  if (!sim::parseOptions(static_cast<int>(words.size()), argv.data(), options, error)) {
    if (!oneLine(error)) finding("refused without one line of reason: '" + error + "'");
    return 0;
  }
  if (!(options.dt > 0.0) || !std::isfinite(options.dt)) finding("a step that is not positive");
  if (options.builtInSteps < 1 || options.builtInSteps > sim::kMaxSteps)
    finding("a step count out of range");
  if (options.failWriteAt < 0) finding("a negative write number");
  if (options.reservedChannel < -1 || options.reservedChannel > 1) finding("no such channel");
  if (options.sizesOnly && (!options.tracePath.empty() || !options.inputPath.empty()))
    finding("--sizes with run options");
  return 0;
}
