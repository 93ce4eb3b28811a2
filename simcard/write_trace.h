// The trace of every write, kept for tests and for a user's simulated run.
#pragma once

#include "simcard/simcard.h"

namespace simcard {

// Never allocates after the first call: the trace's room is taken up front.
void traceWrite(TaskHandle task, int channel, double volts, int32 status);
void clearWriteTrace();

}  // namespace simcard
