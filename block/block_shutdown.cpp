#include "block/channel_io.h"
#include "block/device_state.h"
#include "block/twinvolts_block.h"

namespace {

// Leaves the output at 0 V before the task lets go of it.
void zeroAndRelease(TaskHandle task, float64* buffer) {
  *buffer = 0.0;
  twinvolts::writeChannel(task, buffer);
  twinvolts::releaseChannel(task);
}

}  // namespace

extern "C" void HOST_CALL mdlShutdown(SFcnRecord* /*record*/) {
  // Channel 0 is finished before channel 1 is touched. The handles keep
  // their values; only the held mark says they are gone.
  zeroAndRelease(SFcnTaskAo0, &ao0Value);
  zeroAndRelease(SFcnTaskAo1, &ao1Value);
  tasksHeld = false;
}
