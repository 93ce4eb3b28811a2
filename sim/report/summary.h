// The short text a user reads after a run.
#pragma once

#include <string>

#include "sim/run/run_result.h"

namespace sim {

struct SummaryContext {
  std::string modulePath;
  std::string blockPath;
  std::string inputDescription;
  double dt = 0.0;
  size_t width = 0;  // a terminal's columns, to wrap lines to; 0: one line each
  bool problemsOnly = false;
};

// One line per figure; with problemsOnly, only the lines that show a problem
// (nothing at all for a clean run).
std::string summaryText(const SummaryContext& context, const RunResult& result);

// "completed", "completed with faults" or "stopped".
const char* resultWord(const RunResult& result);

}  // namespace sim
