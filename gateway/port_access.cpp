// Guarded input-port accessors: a bad index or an unconnected port is shown
// to the user as a fatal error instead of being dereferenced. The normal path
// (inputSignal, in gateway.h) is two tests and two loads; the messages are
// built here, out of line, so that it saves no registers for them.
//
// Port numbers arrive as 32-bit ints but are printed as 64-bit values:
// port + 1 and count - 1 are computed in 64 bits so that INT32_MAX + 1 and
// INT32_MIN - 1 print as the numbers they are.
#include <cinttypes>
#include <cstdint>
#include <cstdlib>

#include "gateway/gateway.h"

namespace twinvolts {
namespace {

// (sfcnName, blockPath, port + 1 [64-bit], count, count - 1 [64-bit])
constexpr char kPortOutOfRangeFormat[] =
    "S-function '%s' in block '%s' is attempting to access the signal from input port '%" PRId64
    "' in one its methods. However, the S-function's mdlInitializeSizes routine has configured "
    "the block to have only %d input port(s). The incorrect access will cause a segmentation "
    "violation. Please verify that all calls to ssGetInputPort[Real]Signal[Ptrs]() are using port "
    "indices in the range [0..%" PRId64 "].\n";

// (sfcnName, blockPath, port + 1 [64-bit], kPortUnconnectedHint)
constexpr char kPortUnconnectedFormat[] =
    "S-function '%s' in block '%s' is attempting to access the signal from input port '%" PRId64
    "' in one its methods. However, the S-function's mdlInitializeSizes routine did not register "
    "the ssSetInputPortDirectFeedThrough macro or the direct feedthrough flag has been set to "
    "zero. This will cause a segmentation violation. %s";
constexpr char kPortUnconnectedHint[] =
    "Please verify that the ssSetInputPortDirectFeedThrough is declared in mdlInitializeSizes and "
    "the direct feedthrough flag is set to one when accessing the input port signals in the "
    "mdlOutputs and/or mdlGetTimeOfNextVarHit method(s).";

// (sfcnName, blockPath, port + 1 [64-bit], count, then the range text); the
// first part ends in a blank, and the range is built in a buffer of its own.
constexpr char kFeedThroughPortFormat[] =
    "S-function '%s' in block '%s' is setting or clearing the direct feedthrough flag for port "
    "%" PRId64
    ". However, the S-function's mdlInitializeSizes routine has configured the block to have only "
    "%d input port(s). Setting of clearing the direct feedthrough flag for an invalid port index "
    "will cause a segmentation violation. %s";
// (count - 1 [64-bit])
constexpr char kFeedThroughRangeFormat[] =
    "Please verify that all calls to ssSetInputPortDirectFeedThrough are using port indices in the "
    "range [0..%" PRId64 "].\n";

// A host record may leave a name null; the message then shows it empty
// rather than the dialog crashing the host.
const char* sfcnNameOf(const SFcnRecord* record) {
  return record->sfcnName != nullptr ? record->sfcnName : "";
}
const char* blockPathOf(const SFcnRecord* record) {
  return record->blockPath != nullptr ? record->blockPath : "";
}

// 1-based port number as the messages show it; cannot overflow in 64 bits.
int64_t shownPort(int32_t port) {
  return static_cast<int64_t>(port) + 1;
}
// Highest valid 0-based index.
int64_t lastPort(int32_t count) {
  return static_cast<int64_t>(count) - 1;
}

// Shows message, unless it could not be built; releases it.
void reportAndRelease(SFcnRecord* record, char* message) {
  if (message == nullptr) return;
  reportFatalError(record, message);
  std::free(message);
}

[[gnu::cold, gnu::noinline]] void feedThroughPortOutOfRange(SFcnRecord* record, int32_t port) {
  const int32_t count = record->sizesBlock.inputPortCount;
  char* range = newMessage(kFeedThroughRangeFormat, lastPort(count));
  if (range == nullptr) return;
  reportAndRelease(record,
                   newMessage(kFeedThroughPortFormat, sfcnNameOf(record), blockPathOf(record),
                              shownPort(port), static_cast<int>(count), range));
  std::free(range);
}

}  // namespace

const void* reportPortOutOfRange(SFcnRecord* record, int32_t port) {
  const int32_t count = record->sizesBlock.inputPortCount;
  reportAndRelease(record,
                   newMessage(kPortOutOfRangeFormat, sfcnNameOf(record), blockPathOf(record),
                              shownPort(port), static_cast<int>(count), lastPort(count)));
  return nullptr;
}

const void* reportPortUnconnected(SFcnRecord* record, int32_t port) {
  reportAndRelease(record, newMessage(kPortUnconnectedFormat, sfcnNameOf(record),
                                      blockPathOf(record), shownPort(port), kPortUnconnectedHint));
  return nullptr;
}

extern "C" const void* ssGetInputPortSignal(SFcnRecord* record, int32_t port) {
  return inputSignal(record, port);
}

extern "C" const double* ssGetInputPortRealSignal(SFcnRecord* record, int32_t port) {
  return static_cast<const double*>(inputSignal(record, port));
}

extern "C" void ssSetInputPortDirectFeedThrough(SFcnRecord* record, int32_t port, int32_t value) {
  if (!inputPortInRange(record, port)) {
    feedThroughPortOutOfRange(record, port);
    return;
  }
  record->inputPorts[port].directFeedThrough = value;
}

}  // namespace twinvolts
