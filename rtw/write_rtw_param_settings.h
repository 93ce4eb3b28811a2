/* Writes a block's parameter settings into the host's code-generation
 * record file: "SFcnParamSettings {", one name/value pair per setting, "}". */
#ifndef TWINVOLTS_RTW_WRITE_RTW_PARAM_SETTINGS_H
#define TWINVOLTS_RTW_WRITE_RTW_PARAM_SETTINGS_H

#include <stdint.h>

#include "gateway/sfcn_record.h"
#include "rtw/sswrite_value_type.h"

#ifdef __cplusplus
extern "C" {
#endif

/* nSettings settings follow, each: type, name, then by code (value first,
 * data type last; see sswrite_value_type.h for the widths of the words):
 *   0, 1:  value
 *   2:     value, count
 *   3:     number (a double, by value; written as data type 0)
 *   4:     value, count                      (data type 0)
 *   5:     value, nRows, nCols               (data type 0)
 *   6:     value, dataType
 *   7:     value, count, dataType
 *   8:     value, nRows, nCols, dataType
 *   9:     realPart, imagPart, count, dataType
 *   10:    realPart, imagPart, nRows, nCols, dataType
 * Each goes to ssWriteRTWNameValuePair, which takes the data type before
 * the dimensions, with its checks and messages.
 *
 * Returns 1 when everything was written. nSettings <= 0 returns 0, writing
 * nothing and leaving the error slot alone. A code outside 0..10 is refused
 * with 0 and a message; any other step that does not give exactly 1 ends the
 * call with its result, leaving what was written (no closing "}"). A record
 * without the line and name/value hooks is refused before anything is
 * written. */
int32_t ssWriteRTWParamSettings(SFcnRecord* record, int32_t nSettings, ...);

#ifdef __cplusplus
}
#endif

#endif
