/* One element of a host array, read according to the array's class.
 *
 * The host hands the gateway its FLAG and its attach argument as arrays of
 * any class; reading eight bytes as a double from an element that is smaller
 * would read past the data, so each element is read at its own width. */
#ifndef TWINVOLTS_GATEWAY_HOST_NUMBER_H
#define TWINVOLTS_GATEWAY_HOST_NUMBER_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum HostNumberKind {
  HOST_NUMBER_NONE,     /* no element: a class without numbers, or index out of range */
  HOST_NUMBER_FLOATING, /* double or single */
  HOST_NUMBER_SIGNED,   /* int8 .. int64 */
  HOST_NUMBER_UNSIGNED  /* uint8 .. uint64, logical, char */
} HostNumberKind;

typedef struct HostNumber {
  HostNumberKind kind;
  double floating;        /* when FLOATING */
  int64_t signedValue;    /* when SIGNED */
  uint64_t unsignedValue; /* when UNSIGNED */
} HostNumber;

/* Element `index` (column-major) of the array's real part. */
HostNumber readHostElement(const mxArray* array, size_t index);

/* The number as an integer, by the rule for doubles: truncation toward zero,
 * and 0 for NaN, infinities, magnitudes of 2^63 or more and NONE. */
int64_t hostNumberToInt64(HostNumber number);

/* True when the number is a whole number within the signed 32-bit range
 * (-0.0 included); the value is then stored in *result. */
bool hostNumberToExactInt32(HostNumber number, int32_t* result);

/* True when the number equals value exactly. */
bool hostNumberEquals(HostNumber number, int64_t value);

#ifdef __cplusplus
}
#endif

#endif
