/* Services for block code on top of the block record: warnings that name the
 * block, the obsolete port-reuse setters, port dimensions and two values
 * asked of the host through its hooks, and the host's data-type ids. Block
 * code may be C, so this header is C as well as C++. */
#pragma once

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* --- Warnings and obsolete port-option setters --- */

/* Issues "block '<blockPath>': <message>" as a host warning. Without a block
 * path, or when the prefix buffer cannot be had, the bare message is issued:
 * a warning is never lost. */
void ssWarnWithBlockPath(SFcnRecord* record, const char* message);

/* Reuse field of an input port's attribute word: bits 0x2 and 0x4. */
#define SFCN_INPUT_REUSE_MASK 0x6u
#define SFCN_INPUT_REUSE_ON 0x2u
/* Reuse field of an output port's attribute word: bits 0x1 and 0x2. */
#define SFCN_OUTPUT_REUSE_MASK 0x3u
#define SFCN_OUTPUT_REUSE_ON 0x1u

/* Kept for block code written against the older interface: each call warns
 * that it is obsolete, then records the choice in the port's attribute word.
 * flag 0: not reusable; any other value: reusable. A port index outside
 * 0 .. count - 1 (or a record without ports) still warns but changes nothing. */
void ssSetInputPortReusable(SFcnRecord* record, int32_t port, int32_t flag);
void ssSetOutputPortReusable(SFcnRecord* record, int32_t port, int32_t flag);

/* --- Port dimensions, through the host's dimension hooks ---
 * Each forwarder builds a DimsDescriptor on its own stack and hands its
 * address to the hook; descriptor and dimension array are valid only while
 * the hook runs. Ports and dimensions are passed on unchecked: the hook
 * judges them and its result is returned unchanged. Without a hook the
 * forwarders return 1 and do nothing. */

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

/* --- Two values the host provides on request, through its service hook ---
 * What the services mean is the host's business; the module fixes only the
 * codes, the argument and the type of the result. */

#define SFCN_SERVICE_INT 20  /* argument: the caller's; result slot: int32_t */
#define SFCN_SERVICE_REAL 21 /* argument: 0; result slot: double */

/* What the host wrote for service 20, or 0 when there is no hook or it wrote
 * nothing. The hook's status is not looked at. */
int32_t ssGetHostServiceInt(SFcnRecord* record, int32_t argument);
/* What the host wrote for service 21, or 0.0 likewise. */
double ssGetHostServiceReal(SFcnRecord* record);

/* --- The host's built-in data-type ids, as block code and the record
 * writers number them --- */

enum {
  DATA_TYPE_INVALID = -10, /* no built-in data type */
  DATA_TYPE_DOUBLE = 0,
  DATA_TYPE_SINGLE = 1,
  DATA_TYPE_INT8 = 2,
  DATA_TYPE_UINT8 = 3,
  DATA_TYPE_INT16 = 4,
  DATA_TYPE_UINT16 = 5,
  DATA_TYPE_INT32 = 6,
  DATA_TYPE_UINT32 = 7,
  DATA_TYPE_BOOLEAN = 8
};

/* Bit of a data-type word that marks complex data. */
#define DATA_TYPE_COMPLEX_BIT 0x10000

/* The data-type id of a host array, by class only: a complex array maps like
 * a real one of its class. Classes without a built-in data type give
 * DATA_TYPE_INVALID. */
int32_t ssGetArrayDataTypeId(const mxArray* array);

#ifdef __cplusplus
}
#endif
