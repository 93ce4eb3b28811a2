#include "simcard/write_trace.h"

#include <cmath>
#include <vector>

namespace simcard {
namespace {

struct WriteTrace {
  std::vector<SimcardWrite> entries;
  size_t dropped = 0;
  WriteTrace() { entries.reserve(SIMCARD_WRITE_TRACE_CAPACITY); }
};

WriteTrace& trace() {
  static WriteTrace theTrace;
  return theTrace;
}

}  // namespace

void traceWrite(TaskHandle task, int channel, double volts, int32 status) {
  WriteTrace& t = trace();
  if (t.entries.size() < SIMCARD_WRITE_TRACE_CAPACITY) {
    t.entries.push_back(SimcardWrite{task, channel, volts, status});
  } else {
    ++t.dropped;
  }
}

void clearWriteTrace() {
  trace().entries.clear();
  trace().dropped = 0;
}

}  // namespace simcard

extern "C" size_t simcardWriteCount(void) {
  return simcard::trace().entries.size();
}

extern "C" SimcardWrite simcardWriteAt(size_t index) {
  const std::vector<SimcardWrite>& entries = simcard::trace().entries;
  if (index >= entries.size()) return SimcardWrite{0, -1, std::nan(""), SIMCARD_OK};
  return entries[index];
}

extern "C" size_t simcardWritesDropped(void) {
  return simcard::trace().dropped;
}

extern "C" void simcardClearWriteTrace(void) {
  simcard::clearWriteTrace();
}
