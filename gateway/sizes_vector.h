/* The set-up call's result: the record's 38 sizes entries as doubles. */
#ifndef TWINVOLTS_GATEWAY_SIZES_VECTOR_H
#define TWINVOLTS_GATEWAY_SIZES_VECTOR_H

#include "gateway/sfcn_record.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new 38-by-1 real double array of the entries, signed except rows 15-18
 * and 23, which the host keeps as unsigned words. Sets the set-up bit 0x2000
 * of sizesFlags in the record, so row 23 carries it too. Null only when the
 * host gives no array. */
mxArray* makeSizesVector(SFcnRecord* record);

#ifdef __cplusplus
}
#endif

#endif
