// Integer conversion of doubles: truncation to 64 bits, low 32 bits used,
// and 0 for whatever a plain cast would leave undefined.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "gateway/gateway.h"

namespace {

using twinvolts::lowWord32;
using twinvolts::truncateToInt64;

struct Conversion {
  double value;
  int64_t truncated;
  int32_t word;
};

constexpr double kTwo63 = 9223372036854775808.0;
constexpr double kInf = std::numeric_limits<double>::infinity();

const Conversion kConversions[] = {
    {0.0, 0, 0},
    {-0.0, 0, 0},
    {104.7, 104, 104},
    {-1.9, -1, -1},
    {0.5, 0, 0},
    {2147483647.0, 2147483647, INT32_MAX},
    {2147483648.0, 2147483648LL, INT32_MIN},  // only the low 32 bits survive
    {-2147483649.0, -2147483649LL, INT32_MAX},
    {4294967296.0 + 5.0, 4294967301LL, 5},
    {4294967295.0, 4294967295LL, -1},
    {-kTwo63 / 2, INT64_MIN / 2, 0},
    {kTwo63 - 1024.0, INT64_MAX - 1023, -1024},  // the largest double below 2^63
    {kTwo63, 0, 0},
    {-kTwo63, 0, 0},  // representable as int64, but its magnitude is 2^63
    {1e300, 0, 0},
    {-1e300, 0, 0},
    {kInf, 0, 0},
    {-kInf, 0, 0},
    {std::nan(""), 0, 0},
    {-std::nan(""), 0, 0},
};

TEST(DoubleConversion, TruncatesToSixtyFourBitsAndKeepsTheLowWord) {
  for (const Conversion& c : kConversions) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(truncateToInt64(c.value), c.truncated);
    EXPECT_EQ(lowWord32(truncateToInt64(c.value)), c.word);
  }
}

TEST(DoubleConversion, LowWordOfIntegers) {
  EXPECT_EQ(lowWord32(INT64_C(0x123456789)), 0x23456789);
  EXPECT_EQ(lowWord32(INT64_C(0x1FFFFFFFF)), -1);
  EXPECT_EQ(lowWord32(INT64_C(-1)), -1);
  EXPECT_EQ(lowWord32(INT64_MIN), 0);
}

}  // namespace
