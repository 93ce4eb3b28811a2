/* Name/value pairs of complex data given as separate real and imaginary
 * parts. */
#ifndef TWINVOLTS_RTW_WRITE_RTW_REAL_IMAG_H
#define TWINVOLTS_RTW_WRITE_RTW_REAL_IMAG_H

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ssWriteRTWNameValuePair with SSWRITE_VALUE_PAIR_VECTOR (dataType, nRows)
 * and the address of a RealImagPair of the two parts. The pair lives only
 * for the call: the host's hook must not keep its address. */
int32_t ssWriteRTWRealImagVect(SFcnRecord* record, const char* name, const void* realPart,
                               const void* imagPart, int32_t dataType, int32_t nRows);

/* The same with SSWRITE_VALUE_PAIR_MATRIX (dataType, nRows, nCols). */
int32_t ssWriteRTWRealImagMatrix(SFcnRecord* record, const char* name, const void* realPart,
                                 const void* imagPart, int32_t dataType, int32_t nRows,
                                 int32_t nCols);

#ifdef __cplusplus
}
#endif

#endif
