/* Stand-in host: making and reading host arrays from the host's side.
 * The module sees arrays only through host/mx_array.h. */
#pragma once

#include <stddef.h>

#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A zero-filled m-by-n array of any class (mxCHAR_CLASS holds 16-bit
 * characters; cell, struct, void, function and unknown hold no data).
 * Made outside a mexFunction call it lives until mxDestroyArray or
 * standinReset; made inside a call it is a temporary of that call. */
mxArray* standinCreateArray(mxClassID classId, size_t m, size_t n, mxComplexity complexity);
/* A 1-by-1 array of the class holding value converted to that class
 * (integers: rounded, saturated, NaN as 0). */
mxArray* standinCreateScalar(mxClassID classId, double value);
/* An m-by-n real double array holding values in column-major order. */
mxArray* standinCreateDoubles(size_t m, size_t n, const double* values);

/* Null for an array without elements or of a class without data. */
void* standinRealData(const mxArray* array);
void* standinImagData(const mxArray* array); /* also null for a real array */
size_t standinElementSize(mxClassID classId);
/* Text of a char array made by mxCreateString, or null for another class. */
const char* standinStringText(const mxArray* array);

/* Releases an array; what a real host offers block code, the module never calls it. */
void mxDestroyArray(mxArray* array);

#ifdef __cplusplus
}
#endif
