/* Stand-in host: records owned by the host, as in direct mode. */
#pragma once

#include <stdbool.h>
#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sample-time slots the host record provides. */
#define STANDIN_MAX_SAMPLE_TIMES 4

/* A zero-filled host record with its own HostInfo, an empty
 * PropagationMethods table, sample-time arrays and port-count hooks
 * (context: the record) that store the count and allocate zero-filled port
 * arrays; rootRecord is the record itself. The texts are copied. */
SFcnRecord* standinNewHostRecord(const char* sfcnName, const char* blockPath);
/* Releases the record and everything the host gave it (texts, port arrays
 * the hooks made), not what the module or a test pointed its fields at. */
void standinFreeHostRecord(SFcnRecord* record);

/* The attach argument of a direct-mode set-up call: a 2-by-1 double array of
 * the record's address and the version stamp 5200229.0. */
mxArray* standinNewAttachArgument(const SFcnRecord* record);

/* Points input port `port` at signal (the host connects the port). False,
 * with a breach, when the record has no such port. */
bool standinConnectInput(SFcnRecord* record, int32_t port, const void* signal);

/* How often the record's port-count hooks were called, refusals included. */
int standinInputPortCountCalls(const SFcnRecord* record);
int standinOutputPortCountCalls(const SFcnRecord* record);

#ifdef __cplusplus
}
#endif
