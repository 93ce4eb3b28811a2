// Plays the host for one block: builds its record, makes the set-up call and
// drives the block through mexFunction, as a simulation host does.
#pragma once

#include <functional>
#include <string>

#include "sim/input_signal.h"
#include "sim/run_result.h"
#include "standin_host/host_calls.h"

namespace sim {

struct SessionSettings {
  std::string blockPath;
  double dt = 0.01;
};

// Called after every step with the number of steps done.
using ProgressFn = std::function<void(size_t done, size_t total)>;

// Runs set-up, flag 101, one flag 104 per input row and flag 107 on a fresh
// host-owned record, reading the root record's error slot after every call.
// The card must have been prepared (reset, faults) by the caller.
RunResult runSimulation(MexFunctionPtr entry, const SessionSettings& settings,
                        const InputSignal& input, const ProgressFn& progress);

}  // namespace sim
