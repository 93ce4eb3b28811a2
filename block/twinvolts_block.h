// The twinvolts block: two analog outputs driven from a 2-wide input.
// The six methods are what the gateway installs in a host record's slots;
// the module-wide state is declared here so that tests and the fuzz target
// can start each case from the zeros of a freshly loaded module.
#pragma once

#include <cstdint>

#include "gateway/sfcn_record.h"
#include "host/daqmx.h"

extern "C" {

// Declares the interface, then creates and starts one task per channel.
void HOST_CALL mdlInitializeSizes(SFcnRecord* record);
// One sample time: period -1.0 (inherited), offset 0.0.
void HOST_CALL mdlDeclareSampleTimes(SFcnRecord* record);
// Writes input element 0 to "Dev1/ao0", then element 1 to "Dev1/ao1".
void HOST_CALL mdlOutputs(SFcnRecord* record, int32_t taskId);
// Zeroes, stops and clears channel 0, then channel 1.
void HOST_CALL mdlShutdown(SFcnRecord* record);
// The block has neither a variable sample time nor zero crossings; a call
// of either posts a message in the root record's error slot.
void HOST_CALL varHitStub(SFcnRecord* record);
void HOST_CALL zeroCrossingsStub(SFcnRecord* record);

// Module-wide device state: one copy per loaded module, all zero at load,
// driven through the one record that owns the pair (block/pair_owner.h).
extern TaskHandle SFcnTaskAo0;  // owns "Dev1/ao0"
extern TaskHandle SFcnTaskAo1;  // owns "Dev1/ao1"
extern float64 ao0Value;        // one-sample write buffers
extern float64 ao1Value;
extern int32 samplesWritten;  // count target of every write; never read
// True from a set-up that created the tasks until the shutdown that releases
// them, so a second set-up can release a pair nobody shut down.
extern bool tasksHeld;
// True while the host holds the module's exit function (mexAtExit).
extern bool exitFunctionRegistered;
}

namespace twinvolts {

// What the driver refused since the last complete set-up, so that each kind
// of failure is warned about once per channel and shutdown can sum up.
struct ChannelReport {
  unsigned warnedKinds;  // a bit per kind of operation already warned about
  uint32_t refusedWrites;
  uint32_t firstRefusedStep;
  int32 firstRefusedStatus;
};
struct RunReport {
  uint32_t steps;  // output steps that reached the driver
  ChannelReport channels[2];
};
extern RunReport runReport;

}  // namespace twinvolts
