// Command-line options of twinvolts-sim.
#pragma once

#include <string>

namespace sim {

struct Options {
  std::string modulePath;  // empty: the module built for this machine
  std::string blockPath = "model/twinvolts";
  std::string inputPath;  // empty: built-in waveforms
  int builtInSteps = 500;
  double dt = 0.01;
  bool noCard = false;
  long failWriteAt = 0;  // 0: no injected write failure
  bool sizesOnly = false;
  std::string tracePath;
  std::string plotPath;
  bool help = false;
};

// Parses argv. Returns false with a message for an unknown option, a missing
// or malformed value.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

const char* usageText();

}  // namespace sim
