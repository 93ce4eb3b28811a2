/* The twinvolts block: two analog outputs driven from a 2-wide input.
 * These are the methods the gateway installs in a host record's slots. */
#ifndef TWINVOLTS_BLOCK_TWINVOLTS_BLOCK_H
#define TWINVOLTS_BLOCK_TWINVOLTS_BLOCK_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Declares the interface, then creates and starts one task per channel. */
void HOST_CALL mdlInitializeSizes(SFcnRecord* record);
/* One sample time: period -1.0 (inherited), offset 0.0. */
void HOST_CALL mdlDeclareSampleTimes(SFcnRecord* record);
/* Writes input element 0 to "Dev1/ao0", then element 1 to "Dev1/ao1". */
void HOST_CALL mdlOutputs(SFcnRecord* record, int32_t taskId);
/* Zeroes, stops and clears channel 0, then channel 1. */
void HOST_CALL mdlShutdown(SFcnRecord* record);
/* The block has neither a variable sample time nor zero crossings; a call
 * of either posts a message in the root record's error slot. */
void HOST_CALL varHitStub(SFcnRecord* record);
void HOST_CALL zeroCrossingsStub(SFcnRecord* record);

#ifdef __cplusplus
}
#endif

#endif
