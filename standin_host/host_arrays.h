/* Stand-in host: making and reading host arrays from the host's side.
 * The module sees arrays only through host/mx_array.h. */
#pragma once

#include <stddef.h>

#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A zero-filled m-by-n array of any class (mxCHAR_CLASS holds 16-bit
 * characters, unless made to the byte; cell, struct, void, function and
 * unknown hold no data).
 * Made outside a mexFunction call it lives until mxDestroyArray or
 * standinReset; made inside a call it is a temporary of that call. */
mxArray* standinCreateArray(mxClassID classId, size_t m, size_t n, mxComplexity complexity);
/* A 1-by-1 array of the class holding value converted to that class
 * (integers: rounded, saturated, NaN as 0). */
mxArray* standinCreateScalar(mxClassID classId, double value);
/* An m-by-n real double array holding values in column-major order. */
mxArray* standinCreateDoubles(size_t m, size_t n, const double* values);
/* An m-by-n sparse array, double or logical, of the m * n values given in
 * column-major order (imag: null for a real array): as a host keeps it, its
 * data hold only the non-zero elements, so mxGetPr of a sparse zero gives
 * nothing to read. Made as standinCreateArray makes arrays. */
mxArray* standinCreateSparse(mxClassID classId, size_t m, size_t n, const double* real,
                             const double* imag);
/* The full array of the same elements as array (sparse or not), a temporary
 * of the call in progress: what the host's full() gives mexCallMATLAB. */
mxArray* standinFullArray(const mxArray* array);

/* How the host side lays out the arrays it makes, the arguments it hands a
 * module. STANDIN_ARRAYS_PACKED, at start: one block per array with its data
 * last, so a read past them leaves the block. STANDIN_ARRAYS_TO_THE_BYTE: as
 * a host that stores each element as narrow as any host does (a character in
 * one byte) and gives each data part a block of its own of exactly its size,
 * an address even when empty: under a memory checker a read of anything but
 * an element is seen. Applies to the arrays made afterwards; the module's own
 * arrays stay packed. */
typedef enum StandinArrayLayout {
  STANDIN_ARRAYS_PACKED = 0,
  STANDIN_ARRAYS_TO_THE_BYTE = 1
} StandinArrayLayout;
void standinSetArrayLayout(StandinArrayLayout layout);

/* Null for an array without elements or of a class without data. */
void* standinRealData(const mxArray* array);
void* standinImagData(const mxArray* array);  /* also null for a real array */
size_t standinElementSize(mxClassID classId); /* of a packed array */
/* Text of a char array made by mxCreateString, or null for another class. */
const char* standinStringText(const mxArray* array);

/* Releases an array; what a real host offers block code, the module never calls it. */
void mxDestroyArray(mxArray* array);

#ifdef __cplusplus
}
#endif
