// Command-line options of twinvolts-sim.
#pragma once

#include <cstdint>
#include <string>

#include "sim/input/step_source.h"

namespace sim {

struct Options {
  std::string modulePath;  // empty: the module built with this program
  std::string blockPath = "model/twinvolts";
  std::string inputPath;  // empty: built-in waveforms
  int64_t builtInSteps = 500;
  double dt = 0.01;
  bool dtGiven = false;  // else an input's time column may set dt
  bool noCard = false;
  long long failWriteAt = 0;  // 0: no injected write failure
  int reservedChannel = -1;   // 0 or 1: held by another task before the run
  bool sizesOnly = false;
  std::string tracePath;  // "-": standard output
  std::string plotPath;
  bool quiet = false;
  bool json = false;  // the summary as one JSON object, for programs
  bool help = false;
  bool version = false;
};

// Parses argv: --name VALUE and --name=VALUE, "--" ending the options, one
// optional module path. Returns false with a one-line reason for an unknown,
// repeated or conflicting option and for a missing or malformed value; a
// separate value that is itself one of the options (--trace --quiet) is
// taken for a forgotten value and refused.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

// The outputs' names do not belie what they get: --plot a name ending in
// .svg (any case), --trace none of the spreadsheets' own formats (.xlsx,
// .xls, .ods). A stream or a device may have any name. False with the reason.
bool checkOutputNames(const Options& options, std::string& error);

const char* usageText();

}  // namespace sim
