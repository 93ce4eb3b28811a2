#include "rtw/write_rtw_real_imag.h"

#include "rtw/sswrite_value_type.h"
#include "rtw/write_rtw_name_value_pair.h"

extern "C" int32_t ssWriteRTWRealImagVect(SFcnRecord* record, const char* name,
                                          const void* realPart, const void* imagPart,
                                          int32_t dataType, int32_t nRows) {
  const RealImagPair pair = {realPart, imagPart};
  return ssWriteRTWNameValuePair(record, SSWRITE_VALUE_PAIR_VECTOR, name, &pair, int{dataType},
                                 int{nRows});
}

extern "C" int32_t ssWriteRTWRealImagMatrix(SFcnRecord* record, const char* name,
                                            const void* realPart, const void* imagPart,
                                            int32_t dataType, int32_t nRows, int32_t nCols) {
  const RealImagPair pair = {realPart, imagPart};
  return ssWriteRTWNameValuePair(record, SSWRITE_VALUE_PAIR_MATRIX, name, &pair, int{dataType},
                                 int{nRows}, int{nCols});
}
