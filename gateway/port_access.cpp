// Guarded input-port accessors: a bad index or an unconnected port is shown
// to the user as a fatal error instead of being dereferenced.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gateway/port_messages.h"
#include "gateway/sfcn_record.h"

namespace {

using namespace twinvolts;

// A host record may leave a name null; the message then shows it empty
// rather than the dialog crashing the host.
const char* sfcnNameOf(const SFcnRecord* record) {
  return record->sfcnName != nullptr ? record->sfcnName : "";
}
const char* blockPathOf(const SFcnRecord* record) {
  return record->blockPath != nullptr ? record->blockPath : "";
}

size_t nameLengths(const SFcnRecord* record) {
  return strlen(sfcnNameOf(record)) + strlen(blockPathOf(record));
}

// 1-based port number as the messages show it; cannot overflow in 64 bits.
int64_t shownPort(int32_t port) {
  return static_cast<int64_t>(port) + 1;
}
// Highest valid 0-based index.
int64_t lastPort(int32_t count) {
  return static_cast<int64_t>(count) - 1;
}

bool portInRange(const SFcnRecord* record, int32_t port) {
  return port >= 0 && port < record->sizesBlock.inputPortCount;
}

void reportFatal(SFcnRecord* record, const char* message) {
  if (record->hostInfo != nullptr) record->hostInfo->fatalErrorFlag = 1;
  showFatalError(record, message);
}

void reportPortOutOfRange(SFcnRecord* record, int32_t port) {
  const int32_t count = record->sizesBlock.inputPortCount;
  const size_t size = messageCapacity(sizeof kPortOutOfRangeFormat, nameLengths(record), 3);
  char* message = static_cast<char*>(malloc(size));
  if (message == nullptr) return;
  snprintf(message, size, kPortOutOfRangeFormat, sfcnNameOf(record), blockPathOf(record),
           shownPort(port), static_cast<int>(count), lastPort(count));
  reportFatal(record, message);
  free(message);
}

void reportPortUnconnected(SFcnRecord* record, int32_t port) {
  const size_t size = messageCapacity(sizeof kPortUnconnectedFormat,
                                      nameLengths(record) + strlen(kPortUnconnectedHint), 1);
  char* message = static_cast<char*>(malloc(size));
  if (message == nullptr) return;
  snprintf(message, size, kPortUnconnectedFormat, sfcnNameOf(record), blockPathOf(record),
           shownPort(port), kPortUnconnectedHint);
  reportFatal(record, message);
  free(message);
}

void reportFeedThroughPortOutOfRange(SFcnRecord* record, int32_t port) {
  const int32_t count = record->sizesBlock.inputPortCount;
  const size_t rangeSize = messageCapacity(sizeof kFeedThroughRangeFormat, 0, 1);
  // The first buffer receives the second's text too.
  const size_t size =
      messageCapacity(sizeof kFeedThroughPortFormat, nameLengths(record), 2) + rangeSize;
  char* message = static_cast<char*>(malloc(size));
  char* range = static_cast<char*>(malloc(rangeSize));
  if (message != nullptr && range != nullptr) {
    snprintf(message, size, kFeedThroughPortFormat, sfcnNameOf(record), blockPathOf(record),
             shownPort(port), static_cast<int>(count));
    snprintf(range, rangeSize, kFeedThroughRangeFormat, lastPort(count));
    const size_t used = strlen(message);
    snprintf(message + used, size - used, "%s", range);
    reportFatal(record, message);
  }
  free(range);
  free(message);
}

}  // namespace

extern "C" const void* ssGetInputPortSignal(SFcnRecord* record, int32_t port) {
  if (!portInRange(record, port)) {
    reportPortOutOfRange(record, port);
    return nullptr;
  }
  const void* signal = record->inputPorts[port].signal;
  if (signal == nullptr) reportPortUnconnected(record, port);
  return signal;
}

extern "C" const double* ssGetInputPortRealSignal(SFcnRecord* record, int32_t port) {
  return static_cast<const double*>(ssGetInputPortSignal(record, port));
}

extern "C" void ssSetInputPortDirectFeedThrough(SFcnRecord* record, int32_t port, int32_t value) {
  if (portInRange(record, port)) {
    record->inputPorts[port].directFeedThrough = value;
    return;
  }
  reportFeedThroughPortOutOfRange(record, port);
}
