// mdlInitializeSizes: the block's interface, then both output tasks.
#include "block/channel_io.h"
#include "block/device_constants.h"
#include "block/device_state.h"
#include "block/twinvolts_block.h"

namespace {

using namespace twinvolts;

// A pair that an earlier set-up started and no shutdown released still
// reserves both channels, so new tasks on them could not start: release it
// first. Unlike shutdown it writes no 0 V: the new pair takes the outputs
// over from their last level.
void releaseHeldPair() {
  if (!tasksHeld) return;
  releaseChannel(SFcnTaskAo0);
  releaseChannel(SFcnTaskAo1);
  tasksHeld = false;
}

void openPair() {
  releaseHeldPair();
  openChannel(&SFcnTaskAo0, kTaskNameAo0, kPhysicalChannelAo0, kChannelNameAo0);
  openChannel(&SFcnTaskAo1, kTaskNameAo1, kPhysicalChannelAo1, kChannelNameAo1);
  tasksHeld = true;
}

void declareInputPort(SFcnRecord* record) {
  record->inputPorts[0].width = kInputPortWidth;
  ssSetInputPortDirectFeedThrough(record, 0, 1);
  record->inputPorts[0].attributes |= kInputPortAttribute;
}

}  // namespace

extern "C" void HOST_CALL mdlInitializeSizes(SFcnRecord* record) {
  SFcnSizes& sizes = record->sizesBlock;
  sizes.expectedParamCount = kBlockParamCount;
  if (sizes.expectedParamCount != record->suppliedParamCount) return;

  if (record->setNumInputPortsFcn(record->setNumInputPortsContext, 1) == 0) return;
  declareInputPort(record);
  if (record->setNumOutputPortsFcn(record->setNumOutputPortsContext, 0) == 0) return;
  sizes.sampleTimeCount = 1;

  // Opened here rather than in a start method, so even a set-up that only
  // asks for the sizes holds the card until the next set-up or shutdown.
  openPair();
}
