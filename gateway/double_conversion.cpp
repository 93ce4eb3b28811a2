#include "gateway/double_conversion.h"

#include <cmath>
#include <cstring>

namespace {
// 2^63: the first magnitude an int64_t cannot hold.
constexpr double kInt64Limit = 9223372036854775808.0;
}  // namespace

extern "C" int64_t truncateToInt64(double value) {
  // The comparison is false for NaN too, so every value that reaches the cast fits.
  if (!(std::fabs(value) < kInt64Limit)) return 0;
  return static_cast<int64_t>(value);
}

extern "C" int32_t lowWord32(int64_t value) {
  const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(value));
  int32_t word;
  std::memcpy(&word, &low, sizeof word);
  return word;
}
