/* Writes one raw line into the host's code-generation record file. */
#ifndef TWINVOLTS_RTW_WRITE_RTW_LINE_H
#define TWINVOLTS_RTW_WRITE_RTW_LINE_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Hands text, unexamined, to the host's line hook and returns the hook's
 * result. Without a line hook (a record the gateway created has none) it
 * refuses with 0 and a message in the error slot. */
int32_t ssWriteRTWLine(SFcnRecord* record, const char* text);

#ifdef __cplusplus
}
#endif

#endif
