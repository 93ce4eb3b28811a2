// What a run stopped by a signal left, in the one line that tells it.
#pragma once

#include <cstdint>
#include <string>

#include "sim/run/run_result.h"

namespace sim {

// The one line that tells a stopped run: the signal, the step reached of
// how many, and what the block's end of run left.
std::string stoppedRunText(int signalNumber, const RunResult& result, int64_t totalSteps);

}  // namespace sim
