#include "gateway/host_number.h"

#include <cstring>

#include "gateway/double_conversion.h"

namespace {

// Limit of the integer rule for doubles, applied alike to integer classes.
constexpr uint64_t kInt64Magnitude = uint64_t{1} << 63;

size_t elementSize(mxClassID classId) {
  switch (classId) {
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
      return 8;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
      return 4;
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
    case mxCHAR_CLASS:
      return 2;
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
    case mxLOGICAL_CLASS:
      return 1;
    default:
      return 0;
  }
}

bool hasElement(const mxArray* array, size_t index) {
  const size_t rows = mxGetM(array);
  const size_t columns = mxGetN(array);
  // index < rows * columns, without overflowing the product; the first
  // column needs no division, and the flag and the attach argument live there.
  if (rows == 0 || columns == 0) return false;
  return index < rows || index / columns < rows;
}

template <typename T>
T load(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

HostNumber floating(double value) {
  return HostNumber{HOST_NUMBER_FLOATING, value, 0, 0};
}
HostNumber signedNumber(int64_t value) {
  return HostNumber{HOST_NUMBER_SIGNED, 0.0, value, 0};
}
HostNumber unsignedNumber(uint64_t value) {
  return HostNumber{HOST_NUMBER_UNSIGNED, 0.0, 0, value};
}

HostNumber decode(mxClassID classId, const unsigned char* bytes) {
  switch (classId) {
    case mxDOUBLE_CLASS:
      return floating(load<double>(bytes));
    case mxSINGLE_CLASS:
      return floating(load<float>(bytes));
    case mxINT8_CLASS:
      return signedNumber(load<int8_t>(bytes));
    case mxINT16_CLASS:
      return signedNumber(load<int16_t>(bytes));
    case mxINT32_CLASS:
      return signedNumber(load<int32_t>(bytes));
    case mxINT64_CLASS:
      return signedNumber(load<int64_t>(bytes));
    case mxUINT8_CLASS:
    case mxLOGICAL_CLASS:
      return unsignedNumber(load<uint8_t>(bytes));
    case mxUINT16_CLASS:
    case mxCHAR_CLASS:
      return unsignedNumber(load<uint16_t>(bytes));
    case mxUINT32_CLASS:
      return unsignedNumber(load<uint32_t>(bytes));
    case mxUINT64_CLASS:
      return unsignedNumber(load<uint64_t>(bytes));
    default:
      return HostNumber{HOST_NUMBER_NONE, 0.0, 0, 0};
  }
}

}  // namespace

extern "C" HostNumber readHostElement(const mxArray* array, size_t index) {
  const HostNumber none{HOST_NUMBER_NONE, 0.0, 0, 0};
  const mxClassID classId = mxGetClassID(array);
  const size_t size = elementSize(classId);
  if (size == 0 || !hasElement(array, index)) return none;
  const auto* data = reinterpret_cast<const unsigned char*>(mxGetPr(array));
  if (data == nullptr) return none;
  return decode(classId, data + index * size);
}

extern "C" int64_t hostNumberToInt64(HostNumber number) {
  switch (number.kind) {
    case HOST_NUMBER_FLOATING:
      return truncateToInt64(number.floating);
    case HOST_NUMBER_SIGNED:
      return number.signedValue == INT64_MIN ? 0 : number.signedValue;
    case HOST_NUMBER_UNSIGNED:
      return number.unsignedValue >= kInt64Magnitude ? 0
                                                     : static_cast<int64_t>(number.unsignedValue);
    default:
      return 0;
  }
}

extern "C" bool hostNumberToExactInt32(HostNumber number, int32_t* result) {
  const int32_t word = lowWord32(hostNumberToInt64(number));
  bool exact = false;
  switch (number.kind) {
    case HOST_NUMBER_FLOATING:
      exact = number.floating == static_cast<double>(word);  // false for NaN
      break;
    case HOST_NUMBER_SIGNED:
      exact = number.signedValue == word;
      break;
    case HOST_NUMBER_UNSIGNED:
      exact = word >= 0 && number.unsignedValue == static_cast<uint64_t>(word);
      break;
    default:
      break;
  }
  if (exact) *result = word;
  return exact;
}

extern "C" bool hostNumberEquals(HostNumber number, int64_t value) {
  switch (number.kind) {
    case HOST_NUMBER_FLOATING:
      return number.floating == static_cast<double>(value);
    case HOST_NUMBER_SIGNED:
      return number.signedValue == value;
    case HOST_NUMBER_UNSIGNED:
      return value >= 0 && number.unsignedValue == static_cast<uint64_t>(value);
    default:
      return false;
  }
}
