// Recording mode: every driver call with its arguments, for exact-call tests.
#pragma once

#include "simcard/simcard.h"

namespace simcard {

// A plain flag, read by every driver call.
extern bool recordingOn;
inline bool recording() {
  return recordingOn;
}

// A call entry with every argument field empty (null names flagged, NaN values).
SimcardCall blankCall(SimcardFunction function, TaskHandle task, int32 status);
// Copies a name argument into an entry's field, cut to fit; records null as "".
void copyName(char (&field)[32], const char* name, bool* isNull);
void recordCall(const SimcardCall& call);
void clearCallLog();

}  // namespace simcard
