#include "simcard/write_trace.h"

#include <cmath>

namespace simcard {

WriteTrace theWriteTrace;

}  // namespace simcard

extern "C" size_t simcardWriteCount(void) {
  return simcard::theWriteTrace.count;
}

extern "C" SimcardWrite simcardWriteAt(size_t index) {
  const simcard::WriteTrace& t = simcard::theWriteTrace;
  if (index >= t.count) return SimcardWrite{0, -1, std::nan(""), SIMCARD_OK};
  return t.entries[index];
}

extern "C" const SimcardWrite* simcardWrites(size_t* count) {
  if (count != nullptr) *count = simcard::theWriteTrace.count;
  return simcard::theWriteTrace.entries;
}

extern "C" size_t simcardWritesDropped(void) {
  return simcard::theWriteTrace.dropped;
}

extern "C" void simcardClearWriteTrace(void) {
  simcard::clearWriteTrace();
}
