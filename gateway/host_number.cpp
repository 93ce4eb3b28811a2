// Numbers in host arrays: the host hands the gateway its FLAG and its attach
// argument as arrays of any class, so each element is read at its class's
// own width, then held to the rule for doubles that carry an integer.
#include <cmath>
#include <cstring>
#include <type_traits>

#include "gateway/gateway.h"

namespace twinvolts {
namespace {

// 2^63: the first magnitude an int64_t cannot hold.
constexpr double kInt64Limit = 9223372036854775808.0;

template <typename T>
T load(const void* element) {
  T value;
  std::memcpy(&value, element, sizeof value);
  return value;
}

// The rule for doubles, applied alike to the integer classes: magnitudes of
// 2^63 or more give 0.
template <typename T>
int64_t toInt64(const void* element) {
  const T value = load<T>(element);
  if constexpr (std::is_floating_point_v<T>) {
    return truncateToInt64(value);
  } else if constexpr (std::is_signed_v<T>) {
    const int64_t wide = value;
    return wide == INT64_MIN ? 0 : wide;
  } else {
    const uint64_t wide = value;
    return wide >= (uint64_t{1} << 63) ? 0 : static_cast<int64_t>(wide);
  }
}

template <typename T>
bool equals(const void* element, int64_t value) {
  const T number = load<T>(element);
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<double>(number) == static_cast<double>(value);  // false for NaN
  } else if constexpr (std::is_signed_v<T>) {
    return static_cast<int64_t>(number) == value;
  } else {
    return value >= 0 && static_cast<uint64_t>(number) == static_cast<uint64_t>(value);
  }
}

template <typename T>
constexpr ClassReading readAs() {
  return {sizeof(T), toInt64<T>, equals<T>};
}
constexpr ClassReading kNoNumbers = {0, nullptr, nullptr};

}  // namespace

// Logical and char read as unsigned; cell, struct, void, function and
// unknown have no numbers.
const ClassReading kClassReadings[mxFUNCTION_CLASS + 1] = {
    kNoNumbers,        kNoNumbers,         kNoNumbers,  // unknown, cell, struct
    readAs<uint8_t>(), readAs<uint16_t>(), kNoNumbers,  // logical, char, void
    readAs<double>(),  readAs<float>(),                 // double, single
    readAs<int8_t>(),  readAs<uint8_t>(),               // int8, uint8
    readAs<int16_t>(), readAs<uint16_t>(),              // int16, uint16
    readAs<int32_t>(), readAs<uint32_t>(),              // int32, uint32
    readAs<int64_t>(), readAs<uint64_t>(),              // int64, uint64
    kNoNumbers,                                         // function
};

int64_t truncateToInt64(double value) {
  // The comparison is false for NaN too, so every value that reaches the cast fits.
  if (!(std::fabs(value) < kInt64Limit)) return 0;
  return static_cast<int64_t>(value);
}

}  // namespace twinvolts
