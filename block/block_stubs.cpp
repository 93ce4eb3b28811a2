// Methods the block does not have; the host learns why through the error slot.
#include "block/twinvolts_block.h"
#include "gateway/gateway.h"

extern "C" void HOST_CALL varHitStub(SFcnRecord* record) {
  twinvolts::postErrorMessage(
      record,
      "To have a variable sample time, you must define MDL_GET_TIME_OF_NEXT_VAR_HIT "
      "and add a mdlGetTimeOfNextVarHit routine");
}

extern "C" void HOST_CALL zeroCrossingsStub(SFcnRecord* record) {
  twinvolts::postErrorMessage(
      record,
      "To have nonsampled zero crossings, you must define MDL_ZERO_CROSSINGS and "
      "have a mdlZeroCrossings routine");
}
