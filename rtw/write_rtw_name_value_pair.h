/* Writes one validated name/value pair into the host's code-generation
 * record file. */
#ifndef TWINVOLTS_RTW_WRITE_RTW_NAME_VALUE_PAIR_H
#define TWINVOLTS_RTW_WRITE_RTW_NAME_VALUE_PAIR_H

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "rtw/sswrite_value_type.h"

#ifdef __cplusplus
extern "C" {
#endif

/* type is an SSWRITE_VALUE_type. The variadic words follow the code (see
 * sswrite_value_type.h for their widths):
 *   0, 1:     none
 *   2:        nRows
 *   3, 6:     dataType
 *   4, 7, 9:  dataType, nRows
 *   5, 8, 10: dataType, nRows, nCols
 * Unsupplied ones default to nRows 1, nCols 1, dataType 0. For codes 9 and
 * 10 value points to a RealImagPair. value itself is never read through; the
 * host's hook reads the data.
 *
 * Checks, first failure decides: code in 0..10 (before any variadic word is
 * read); non-empty name; non-negative dimensions, and for codes 5, 8, 10
 * both zero or both non-zero; unless nRows is 0, a non-null value (for pairs:
 * the pair and its real part, and its imaginary part when dataType has
 * DATA_TYPE_COMPLEX_BIT). A refusal returns 0 with a message in the error
 * slot, as does a record without a name/value hook. Otherwise returns the
 * hook's result, called with (type, name, value, dataType, nRows, nCols). */
int32_t ssWriteRTWNameValuePair(SFcnRecord* record, int32_t type, const char* name,
                                const void* value, ...);

#ifdef __cplusplus
}
#endif

#endif
