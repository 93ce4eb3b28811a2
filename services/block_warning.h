/* Warnings addressed to a block: the host shows them and the caller goes on. */
#ifndef TWINVOLTS_SERVICES_BLOCK_WARNING_H
#define TWINVOLTS_SERVICES_BLOCK_WARNING_H

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Issues "block '<blockPath>': <message>" as a host warning. Without a block
 * path, or when the prefix buffer cannot be had, the bare message is issued:
 * a warning is never lost. */
void ssWarnWithBlockPath(SFcnRecord* record, const char* message);

#ifdef __cplusplus
}
#endif

#endif
