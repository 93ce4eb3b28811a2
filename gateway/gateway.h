/* The module's way in: the set-up call, the record it builds when the host
 * has none to offer, and the dispatch of method calls by flag.
 * mexFunction itself is declared with the host's functions (host/mex_api.h). */
#ifndef TWINVOLTS_GATEWAY_GATEWAY_H
#define TWINVOLTS_GATEWAY_GATEWAY_H

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "host/calling_convention.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Set-up call (lhsCount >= 0): checks the arguments, attaches to the host's
 * record (direct mode) or makes one (stand-alone mode), runs the block's
 * set-up and leaves the 38-by-1 sizes vector in lhs[0]. Every failure ends
 * the call in mexErrMsgTxt. */
void gatewaySetup(int lhsCount, mxArray* lhs[], int rhsCount, const mxArray* rhs[]);

/* A zero-filled record from the host allocator, named after the block, its
 * own root, with a HostInfo, the block parameters rhs[4..] and the two
 * port-count hooks below. Null only when the allocator gives nothing. */
SFcnRecord* createStandaloneRecord(int rhsCount, const mxArray* rhs[]);

/* Port-count hooks of a created record; the context is the record. A count
 * of 0 or more is stored (with a fresh zero-filled port array when positive)
 * and gives 1; a negative count changes nothing and gives 0. */
int HOST_CALL standaloneSetNumInputPorts(void* context, int32_t count);
int HOST_CALL standaloneSetNumOutputPorts(void* context, int32_t count);

/* Method call: runs the one method that the flag names, or posts a message
 * in the root record's errorMessage. */
void dispatchFlag(SFcnRecord* record, int32_t flag);

#ifdef __cplusplus
}
#endif

#endif
