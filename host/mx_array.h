/* The host's array functions, as the module relies on them.
 * Declared here from the host's documented behaviour; provided at load time
 * by the host process (libmx on Windows). */
#pragma once

#include <stdbool.h>
#include <stddef.h>

#include "host/calling_convention.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray; /* opaque: reached only through these functions */

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* An int-sized class id. */
typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS = 1,
  mxSTRUCT_CLASS = 2,
  mxLOGICAL_CLASS = 3,
  mxCHAR_CLASS = 4,
  mxVOID_CLASS = 5,
  mxDOUBLE_CLASS = 6,
  mxSINGLE_CLASS = 7,
  mxINT8_CLASS = 8,
  mxUINT8_CLASS = 9,
  mxINT16_CLASS = 10,
  mxUINT16_CLASS = 11,
  mxINT32_CLASS = 12,
  mxUINT32_CLASS = 13,
  mxINT64_CLASS = 14,
  mxUINT64_CLASS = 15,
  mxFUNCTION_CLASS = 16
} mxClassID;

size_t HOST_CALL mxGetM(const mxArray* array);
size_t HOST_CALL mxGetN(const mxArray* array);
bool HOST_CALL mxIsComplex(const mxArray* array);
/* Numeric: double, single, int8 .. uint64. */
bool HOST_CALL mxIsNumeric(const mxArray* array);
/* Sparse (double or logical): its data hold only the stored, non-zero
 * elements, so a sparse zero has no element to read. */
bool HOST_CALL mxIsSparse(const mxArray* array);
/* First real element; for classes other than double the data are of that class. */
double* HOST_CALL mxGetPr(const mxArray* array);
mxArray* HOST_CALL mxCreateDoubleMatrix(size_t m, size_t n, mxComplexity complexity);
/* Zero-filled; the host reclaims it when the current mexFunction call ends. */
void* HOST_CALL mxCalloc(size_t n, size_t size);
mxArray* HOST_CALL mxCreateString(const char* text);
mxClassID HOST_CALL mxGetClassID(const mxArray* array);

#ifdef __cplusplus
}
#endif
