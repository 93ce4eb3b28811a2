// The short text a user reads after a run.
#pragma once

#include <ostream>
#include <string>

#include "sim/run_result.h"

namespace sim {

struct SummaryContext {
  std::string modulePath;
  std::string blockPath;
  std::string inputDescription;
  double dt = 0.0;
};

void printSummary(std::ostream& out, const SummaryContext& context, const RunResult& result);

}  // namespace sim
