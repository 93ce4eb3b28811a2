/* Stand-in host, inside libmx: the register of host allocations (mxCalloc
 * blocks and arrays) and who keeps each alive. Shared with libmex only. */
#pragma once

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A zero-filled block of exactly `bytes` bytes, or null when memory is out.
 * Inside a call every block belongs to the call. Outside a call a block the
 * host side made (madeByHost) lives until released or reset; one that module
 * code made lives until the next standinReclaimCallMemory. */
void* standinHostAllocate(size_t bytes, bool isArray, bool madeByHost);
/* False, and nothing freed, when block is not a live host block. */
bool standinHostRelease(void* block);

/* Lookups that never read through the address, so any value is safe to ask about. */
bool standinIsHostArray(const void* block);
bool standinIsCallTemporary(const void* block); /* belongs to the innermost call */

/* A temporary of the innermost call becomes the caller's (result arrays). */
void standinHandOverToCaller(void* block);
/* The same for an array, with its data when they are blocks of their own. */
struct mxArray_tag;
void standinHandOverArrayToCaller(struct mxArray_tag* array);
/* Frees what belongs to the innermost call, or outside a call what module
 * code made since the last reclaim. */
void standinReclaimInnermostScope(void);
/* Frees every host block, arrays made by the host side included. */
void standinReleaseAllHostMemory(void);

#ifdef __cplusplus
}
#endif
