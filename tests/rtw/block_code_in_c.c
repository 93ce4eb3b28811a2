#include "tests/rtw/block_code_in_c.h"

#include <stddef.h>

#include "rtw/rtw_writers.h"
#include "services/services.h"

int32_t writeSettingsFromC(SFcnRecord* record) {
  static const int32_t channels[2] = {0, 1};
  const float gain = 0.5f;
  return ssWriteRTWParamSettings(record, 4, SSWRITE_VALUE_SCALAR, "Gain", gain, SSWRITE_VALUE_TEXT,
                                 "Mode", "fast", SSWRITE_VALUE_LIST, "Empty", NULL, 0,
                                 SSWRITE_VALUE_TYPED_VECTOR, "Channels", channels, 2,
                                 DATA_TYPE_INT32);
}

int32_t writeIWorkFromC(SFcnRecord* record) {
  return ssWriteRTWWorkVect(record, "IWork", 2, "count", 1, "state", 2);
}
