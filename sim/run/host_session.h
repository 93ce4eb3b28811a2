// Plays the host for one block: builds its record, makes the set-up call and
// drives the block through mexFunction, as a simulation host does.
#pragma once

#include <string>

#include "sim/input/step_source.h"
#include "sim/run/run_result.h"
#include "standin_host/host_calls.h"

namespace sim {

struct SessionSettings {
  std::string blockPath;
  double dt = 0.01;
};

// Runs set-up, flag 101, one flag 104 per input step and flag 107 on a fresh
// host-owned record, reading the root record's error slot after every call.
// Each step and the shutdown go to the observer as they happen; nothing of
// them is kept, so a run of any length takes the same memory. The card must
// have been prepared (reset, faults) by the caller.
RunResult runSimulation(MexFunctionPtr entry, const SessionSettings& settings, StepSource& input,
                        StepObserver& observer);

}  // namespace sim
