// One raw line and one validated name/value pair (complex data given as
// separate parts included): the writers that the group writers build on.
#include <cstdarg>

#include "rtw/writer_hooks.h"

namespace twinvolts {
namespace {

constexpr const char* kNoLineHook = "ssWriteRTWLine called without a record-file line writer hook";
constexpr const char* kInvalidType = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWNameValuePair";
constexpr const char* kInvalidName = "Invalid name passed to ssWriteRTWNameValuePair";
constexpr const char* kInvalidDims =
    "Invalid number of rows or columns passed to ssWriteRTWNameValuePair";
constexpr const char* kInvalidValue = "Invalid value (NULL) passed to ssWriteRTWNameValuePair";
constexpr const char* kNoHook =
    "ssWriteRTWNameValuePair called without a record-file name/value writer hook";

struct ValueShape {
  int32_t dataType = 0;
  int32_t nRows = 1;
  int32_t nCols = 1;
};

bool isMatrixCode(int32_t type) {
  return type == SSWRITE_VALUE_MATRIX || type == SSWRITE_VALUE_TYPED_MATRIX ||
         type == SSWRITE_VALUE_PAIR_MATRIX;
}

bool isPairCode(int32_t type) {
  return type == SSWRITE_VALUE_PAIR_VECTOR || type == SSWRITE_VALUE_PAIR_MATRIX;
}

// Reads the words the code calls for, in the order the caller passes them.
ValueShape readShape(int32_t type, va_list* args) {
  ValueShape shape;
  switch (type) {
    case SSWRITE_VALUE_LIST:
      shape.nRows = va_arg(*args, int);
      break;
    case SSWRITE_VALUE_SCALAR:
    case SSWRITE_VALUE_TYPED_SCALAR:
      shape.dataType = va_arg(*args, int);
      break;
    case SSWRITE_VALUE_VECTOR:
    case SSWRITE_VALUE_TYPED_VECTOR:
    case SSWRITE_VALUE_PAIR_VECTOR:
      shape.dataType = va_arg(*args, int);
      shape.nRows = va_arg(*args, int);
      break;
    case SSWRITE_VALUE_MATRIX:
    case SSWRITE_VALUE_TYPED_MATRIX:
    case SSWRITE_VALUE_PAIR_MATRIX:
      shape.dataType = va_arg(*args, int);
      shape.nRows = va_arg(*args, int);
      shape.nCols = va_arg(*args, int);
      break;
    default:
      break;
  }
  return shape;
}

bool hasValidDims(int32_t type, const ValueShape& shape) {
  if (shape.nRows < 0 || shape.nCols < 0) return false;
  const bool oneIsZero = (shape.nRows == 0) != (shape.nCols == 0);
  return !(isMatrixCode(type) && oneIsZero);
}

bool hasValue(int32_t type, const void* value, int32_t dataType) {
  if (!isPairCode(type)) return value != nullptr;
  const RealImagPair* pair = static_cast<const RealImagPair*>(value);
  if (pair == nullptr || pair->realPart == nullptr) return false;
  const bool isComplex = (dataType & DATA_TYPE_COMPLEX_BIT) != 0;
  return !isComplex || pair->imagPart != nullptr;
}

}  // namespace

extern "C" int32_t ssWriteRTWNameValuePair(SFcnRecord* record, int32_t type, const char* name,
                                           const void* value, ...) {
  if (!isKnownValueType(type)) return refuse(record, kInvalidType);

  va_list args;
  va_start(args, value);
  const ValueShape shape = readShape(type, &args);
  va_end(args);

  if (name == nullptr || name[0] == '\0') return refuse(record, kInvalidName);
  if (!hasValidDims(type, shape)) return refuse(record, kInvalidDims);
  // An empty list, vector or 0 x 0 matrix has no data to point at.
  if (shape.nRows != 0 && !hasValue(type, value, shape.dataType)) {
    return refuse(record, kInvalidValue);
  }

  const SFcnWriteRtwNameValueFcn hook = nameValueHook(record);
  if (hook == nullptr) return refuse(record, kNoHook);
  return hook(hookArgument(record), type, name, value, shape.dataType, shape.nRows, shape.nCols);
}

extern "C" int32_t ssWriteRTWLine(SFcnRecord* record, const char* text) {
  const SFcnWriteRtwStrFcn hook = lineHook(record);
  if (hook == nullptr) return refuse(record, kNoLineHook);
  return hook(hookArgument(record), text);
}

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

}  // namespace twinvolts
