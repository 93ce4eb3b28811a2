// The summary for programs: one JSON object with every figure of the text
// summary, each warning whole and counted, nothing folded to fit a screen,
// and the text summary itself, whole, for people.
#pragma once

#include <string>

#include "sim/report/summary.h"
#include "sim/run/run_result.h"

namespace sim {

// A level nobody knows is null, never 0; exitStatus is the one the program
// ends with.
std::string summaryJson(const SummaryContext& context, const RunResult& result, int exitStatus);

}  // namespace sim
