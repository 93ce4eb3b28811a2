// ssWriteRTWParamSettings: a block's settings between "SFcnParamSettings {"
// and "}", each through the name/value writer.
#include <cstdarg>

#include "rtw/writer_hooks.h"

namespace twinvolts {
namespace {

constexpr const char* kInvalidType = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWParamSettings";
constexpr const char* kNoHooks =
    "ssWriteRTWParamSettings called without the record-file line and name/value writer hooks";

// Codes whose words are value, then dimensions, then data type. Each is
// read into locals first: the order in which call arguments are evaluated
// is unspecified, the order of the words is not.
int32_t writeValueSetting(SFcnRecord* record, int32_t type, const char* name, va_list* args) {
  const void* value = va_arg(*args, const void*);
  switch (type) {
    case SSWRITE_VALUE_LIST: {
      const int count = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, count);
    }
    case SSWRITE_VALUE_VECTOR: {
      const int count = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, int{DATA_TYPE_DOUBLE}, count);
    }
    case SSWRITE_VALUE_MATRIX: {
      const int nRows = va_arg(*args, int);
      const int nCols = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, int{DATA_TYPE_DOUBLE}, nRows,
                                     nCols);
    }
    case SSWRITE_VALUE_TYPED_SCALAR: {
      const int dataType = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, dataType);
    }
    case SSWRITE_VALUE_TYPED_VECTOR: {
      const int count = va_arg(*args, int);
      const int dataType = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, dataType, count);
    }
    case SSWRITE_VALUE_TYPED_MATRIX: {
      const int nRows = va_arg(*args, int);
      const int nCols = va_arg(*args, int);
      const int dataType = va_arg(*args, int);
      return ssWriteRTWNameValuePair(record, type, name, value, dataType, nRows, nCols);
    }
    default:  // SSWRITE_VALUE_ITEM, SSWRITE_VALUE_TEXT
      return ssWriteRTWNameValuePair(record, type, name, value);
  }
}

// The pair lives in this frame for the duration of the forwarded call.
int32_t writePairSetting(SFcnRecord* record, int32_t type, const char* name, va_list* args) {
  RealImagPair pair;
  pair.realPart = va_arg(*args, const void*);
  pair.imagPart = va_arg(*args, const void*);
  const int nRows = va_arg(*args, int);
  if (type == SSWRITE_VALUE_PAIR_VECTOR) {
    const int dataType = va_arg(*args, int);
    return ssWriteRTWNameValuePair(record, type, name, &pair, dataType, nRows);
  }
  const int nCols = va_arg(*args, int);
  const int dataType = va_arg(*args, int);
  return ssWriteRTWNameValuePair(record, type, name, &pair, dataType, nRows, nCols);
}

int32_t writeSetting(SFcnRecord* record, va_list* args) {
  const int32_t type = va_arg(*args, int);
  const char* name = va_arg(*args, const char*);
  if (!isKnownValueType(type)) {
    return refuse(record, kInvalidType);
  }
  if (type == SSWRITE_VALUE_SCALAR) {
    // Passed by value; the writer gets the address of this frame's copy.
    const double number = va_arg(*args, double);
    return ssWriteRTWNameValuePair(record, type, name, &number, int{DATA_TYPE_DOUBLE});
  }
  if (type == SSWRITE_VALUE_PAIR_VECTOR || type == SSWRITE_VALUE_PAIR_MATRIX) {
    return writePairSetting(record, type, name, args);
  }
  return writeValueSetting(record, type, name, args);
}

}  // namespace

extern "C" int32_t ssWriteRTWParamSettings(SFcnRecord* record, int32_t nSettings, ...) {
  if (nSettings <= 0) return 0;
  if (!hasLineAndNameValueHooks(record)) {
    return refuse(record, kNoHooks);
  }
  int32_t result = ssWriteRTWLine(record, "SFcnParamSettings {");
  if (result != 1) return result;

  va_list args;
  va_start(args, nSettings);
  for (int32_t i = 0; i < nSettings && result == 1; ++i) result = writeSetting(record, &args);
  va_end(args);
  if (result != 1) return result;
  return ssWriteRTWLine(record, "}");
}

}  // namespace twinvolts
