// The trace of every write, kept for tests and for a user's simulated run.
#pragma once

#include <stddef.h>

#include "simcard/simcard.h"

namespace simcard {

// Fixed room, so tracing a write never allocates; a run that reads and
// clears it at every step only ever touches its first entries.
struct WriteTrace {
  SimcardWrite entries[SIMCARD_WRITE_TRACE_CAPACITY];
  size_t count;
  size_t dropped;
};
extern WriteTrace theWriteTrace;

inline void traceWrite(TaskHandle task, int channel, double volts, int32 status) {
  WriteTrace& t = theWriteTrace;
  if (t.count < SIMCARD_WRITE_TRACE_CAPACITY) {
    t.entries[t.count++] = SimcardWrite{task, channel, volts, status};
  } else {
    ++t.dropped;
  }
}

inline void clearWriteTrace() {
  theWriteTrace.count = 0;
  theWriteTrace.dropped = 0;
}

}  // namespace simcard
