#include "simcard/call_log.h"

#include <cmath>
#include <vector>

namespace simcard {

bool recordingOn = false;

namespace {

struct CallLog {
  std::vector<SimcardCall> calls;
  size_t dropped = 0;
};

CallLog& log() {
  static CallLog theLog;
  return theLog;
}

}  // namespace

SimcardCall blankCall(SimcardFunction function, TaskHandle task, int32 status) {
  SimcardCall call{};
  call.function = function;
  call.task = task;
  call.status = status;
  call.taskNameIsNull = true;
  call.physicalChannelIsNull = true;
  call.assignedNameIsNull = true;
  call.scaleNameIsNull = true;
  call.minVal = call.maxVal = call.timeout = call.firstValue = std::nan("");
  return call;
}

void copyName(char (&field)[32], const char* name, bool* isNull) {
  *isNull = name == nullptr;
  size_t length = 0;
  if (name != nullptr) {
    while (length + 1 < sizeof field && name[length] != '\0') {
      field[length] = name[length];
      ++length;
    }
  }
  field[length] = '\0';
}

void recordCall(const SimcardCall& call) {
  CallLog& l = log();
  if (!recordingOn) return;
  if (l.calls.size() < SIMCARD_CALL_LOG_CAPACITY) {
    l.calls.push_back(call);
  } else {
    ++l.dropped;
  }
}

void clearCallLog() {
  recordingOn = false;
  log().calls.clear();
  log().dropped = 0;
}

}  // namespace simcard

extern "C" void simcardSetRecording(bool on) {
  // Room is taken when recording starts, so recorded calls do not allocate.
  if (on) simcard::log().calls.reserve(SIMCARD_CALL_LOG_CAPACITY);
  simcard::recordingOn = on;
}

extern "C" size_t simcardCallCount(void) {
  return simcard::log().calls.size();
}

extern "C" SimcardCall simcardCallAt(size_t index) {
  const std::vector<SimcardCall>& calls = simcard::log().calls;
  if (index >= calls.size()) return simcard::blankCall(SIMCARD_NO_CALL, 0, SIMCARD_OK);
  return calls[index];
}

extern "C" size_t simcardCallsDropped(void) {
  return simcard::log().dropped;
}
