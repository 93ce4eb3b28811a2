/* Record-file entries written the way block code in C writes them, with C's
 * own argument promotions (a float number becomes a double, NULL a null
 * pointer). */
#pragma once

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A settings block of Gain (a float 0.5), Mode "fast", an empty list and
 * Channels [0, 1] as int32. */
int32_t writeSettingsFromC(SFcnRecord* record);
/* IWork with "count" of width 1 and "state" of width 2. */
int32_t writeIWorkFromC(SFcnRecord* record);

#ifdef __cplusplus
}
#endif
