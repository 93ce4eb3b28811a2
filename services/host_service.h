/* Two values the host provides on request, through its service hook.
 * What the services mean is the host's business; the module fixes only the
 * codes, the argument and the type of the result. */
#ifndef TWINVOLTS_SERVICES_HOST_SERVICE_H
#define TWINVOLTS_SERVICES_HOST_SERVICE_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SFCN_SERVICE_INT 20  /* argument: the caller's; result slot: int32_t */
#define SFCN_SERVICE_REAL 21 /* argument: 0; result slot: double */

/* What the host wrote for service 20, or 0 when there is no hook or it wrote
 * nothing. The hook's status is not looked at. */
int32_t ssGetHostServiceInt(SFcnRecord* record, int32_t argument);
/* What the host wrote for service 21, or 0.0 likewise. */
double ssGetHostServiceReal(SFcnRecord* record);

#ifdef __cplusplus
}
#endif

#endif
