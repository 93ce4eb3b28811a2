/* The attach argument of a set-up call (right-hand argument 2): the host
 * marks its own record with the version stamp so the gateway can attach to it. */
#ifndef TWINVOLTS_GATEWAY_ATTACH_ARGUMENT_H
#define TWINVOLTS_GATEWAY_ATTACH_ARGUMENT_H

#include <stdbool.h>

#include "gateway/sfcn_record.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* True (direct mode) when the argument has exactly 2 rows and its element 1
 * equals the version stamp; *record then receives the address carried in
 * element 0, which may be null. Any other argument selects stand-alone mode. */
bool attachArgumentNamesRecord(const mxArray* attach, SFcnRecord** record);

#ifdef __cplusplus
}
#endif

#endif
