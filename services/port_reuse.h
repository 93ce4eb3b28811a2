/* Obsolete port-reuse setters, kept for block code written against the older
 * interface. Each call warns that it is obsolete, then records the choice in
 * the port's attribute word. */
#ifndef TWINVOLTS_SERVICES_PORT_REUSE_H
#define TWINVOLTS_SERVICES_PORT_REUSE_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Reuse field of an input port's attribute word: bits 0x2 and 0x4. */
#define SFCN_INPUT_REUSE_MASK 0x6u
#define SFCN_INPUT_REUSE_ON 0x2u
/* Reuse field of an output port's attribute word: bits 0x1 and 0x2. */
#define SFCN_OUTPUT_REUSE_MASK 0x3u
#define SFCN_OUTPUT_REUSE_ON 0x1u

/* flag 0: not reusable; any other value: reusable. A port index outside
 * 0 .. count - 1 (or a record without ports) still warns but changes nothing. */
void ssSetInputPortReusable(SFcnRecord* record, int32_t port, int32_t flag);
void ssSetOutputPortReusable(SFcnRecord* record, int32_t port, int32_t flag);

#ifdef __cplusplus
}
#endif

#endif
