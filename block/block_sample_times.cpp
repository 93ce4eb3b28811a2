#include "block/device_constants.h"
#include "block/twinvolts_block.h"

extern "C" void HOST_CALL mdlDeclareSampleTimes(SFcnRecord* record) {
  record->samplePeriods[0] = twinvolts::kSamplePeriod;
  record->sampleOffsets[0] = twinvolts::kSampleOffset;
}
