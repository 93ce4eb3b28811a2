// Why an output's level after shutdown is unknown, for the summary.
#pragma once

#include "sim/run/run_result.h"

namespace sim {

// Without a card, or on a channel another task holds (reservedChannel, or
// -1), the simulated card's level is not the one a real output would keep;
// a channel no write reached keeps what it had before.
void noteUnknownLevels(bool noCard, int reservedChannel, RunResult& result);

}  // namespace sim
