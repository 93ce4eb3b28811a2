/* Writes a run of parameter records into the host's code-generation record
 * file. */
#ifndef TWINVOLTS_RTW_WRITE_RTW_PARAMETERS_H
#define TWINVOLTS_RTW_WRITE_RTW_PARAMETERS_H

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "rtw/sswrite_value_type.h"

#ifdef __cplusplus
extern "C" {
#endif

/* nParams entries follow, each: type, name, paramInfo, then by code (see
 * sswrite_value_type.h for the widths of the words):
 *   4:  data, n                             (nRows n, nCols 1, or 0 when n is 0)
 *   5:  data, nRows, nCols
 *   7:  data, n, dataType
 *   8:  data, nRows, nCols, dataType
 *   9:  realPart, imagPart, n, dataType     (data: a RealImagPair of the two)
 *   10: realPart, imagPart, nRows, nCols, dataType
 * dataType is 0 where the code supplies none; paramInfo goes to the hook
 * untouched. Every other code is refused, as are an empty name, null data
 * with rows, a negative dimension and exactly one zero dimension. Each entry
 * goes to the host's parameter hook with (type, name, paramInfo, data,
 * dataType, nRows, nCols).
 *
 * Returns 1 for nParams <= 0, else the last hook result. Stops at the first
 * refusal (0, message in the error slot) or hook result 0 (0, no message);
 * entries already written stay. A record without a parameter hook is
 * refused with a message, the hook not called. */
int32_t ssWriteRTWParameters(SFcnRecord* record, int32_t nParams, ...);

#ifdef __cplusplus
}
#endif

#endif
