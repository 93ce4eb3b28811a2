/* Port dimensions, declared through the host's dimension hooks.
 *
 * Each forwarder builds a DimsDescriptor on its own stack and hands its
 * address to the hook; descriptor and dimension array are valid only while
 * the hook runs. Ports and dimensions are passed on unchecked: the hook
 * judges them and its result is returned unchanged. Without a hook the
 * forwarders return 1 and do nothing. */
#ifndef TWINVOLTS_SERVICES_PORT_DIMS_H
#define TWINVOLTS_SERVICES_PORT_DIMS_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A dimension whose size is not fixed. */
#define SFCN_DIM_NOT_FIXED (-1)

/* Element and dimension counts not fixed, no dimension array, reserved 0.
 * Every descriptor the forwarders build starts as a copy of it. */
extern const DimsDescriptor defaultDimsDescriptor;
/* How module code reaches defaultDimsDescriptor; never changed. */
extern const DimsDescriptor* const defaultDims;

/* One dimension of `width` elements (SFCN_DIM_NOT_FIXED allowed). */
int32_t ssSetInputPortVectorShape(SFcnRecord* record, int32_t port, int32_t width);
int32_t ssSetOutputPortVectorShape(SFcnRecord* record, int32_t port, int32_t width);
/* rows x cols; the element count is not fixed if either is SFCN_DIM_NOT_FIXED,
 * otherwise their product, wrapping modulo 2^32 rather than overflowing. */
int32_t ssSetInputPortMatrixShape(SFcnRecord* record, int32_t port, int32_t rows, int32_t cols);
int32_t ssSetOutputPortMatrixShape(SFcnRecord* record, int32_t port, int32_t rows, int32_t cols);

#ifdef __cplusplus
}
#endif

#endif
