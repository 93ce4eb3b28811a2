// The names of the temporaries outputs are written to before they are put
// in place: "t.csv.twinvolts-sim-PID-N.part", beside t.csv. The name says
// which program and which process made it, so that a run into the same
// folder can remove what a killed run (SIGKILL, a power cut) left behind.
#pragma once

#include <string>

namespace sim {

// The attempt-th name for a temporary of target, for this process.
std::string temporaryName(const std::string& target, int attempt);

// Removes the temporaries in the folder that no living run is writing.
void removeAbandonedTemporaries(const std::string& folder);

}  // namespace sim
