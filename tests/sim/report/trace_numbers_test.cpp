// The trace's numbers against the standard library's shortest form: the
// quick ways for whole and short decimal numbers must write what
// std::to_chars writes.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sim/report/trace_csv.h"
#include "sim/run/step_clock.h"
#include "sim/system/shortest_decimal.h"

namespace {

std::string library(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(TraceNumbers, WriteWhatToCharsWrites) {
  std::vector<double> values = {0.0,
                                -0.0,
                                0.0005,
                                0.00012,
                                0.001,
                                0.00099999999999999,
                                1e-3 + 1e-18,
                                0.37,
                                0.07,
                                0.5700000000000001,
                                2.5,
                                4.999999999999999,
                                1.000000001,
                                1.0000000001,
                                99999.5,
                                1e5 + 0.25,
                                8e6 + 0.5,
                                1.1e6 + 1e-9,
                                std::numeric_limits<double>::denorm_min(),
                                1e300};
  // Steps as runs make them, decimals of every length and scale, any bits.
  std::mt19937_64 random(17);
  for (int i = 0; i < 200000; ++i) {
    values.push_back(i * 0.01);
    values.push_back(i * 1e-3 + 1e4);
    values.push_back(2.5 + 2.5 * std::sin(i * 1e-3));
    values.push_back(static_cast<double>(random() % 10000000) / std::pow(10.0, random() % 12));
    double bits;
    uint64_t pattern = random();
    std::memcpy(&bits, &pattern, sizeof bits);
    if (std::isfinite(bits)) values.push_back(bits);
  }
  int mismatches = 0;
  for (double value : values) {
    for (double number : {value, -value}) {
      // Whole numbers from 1e5 up are written whole, not as 1e+05.
      if (number == std::trunc(number) && std::fabs(number) >= 1e5) continue;
      if (sim::shortestDecimal(number) != library(number) && ++mismatches <= 10)
        ADD_FAILURE() << library(number) << " written as " << sim::shortestDecimal(number);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

// Step times against exact decimal arithmetic (each expected value is the
// double nearest the decimal product or sum): k × 0.1 is 0.3, not
// 0.30000000000000004, also where the product outgrows 2^53 or the step's
// power of ten is not exact in a double.
TEST(TraceNumbers, StepTimesAreExactDecimals) {
  struct Multiple {
    double step;
    int64_t k;
    double expected;
  } multiples[] = {{0.1, 3, 0.3},
                   {0.003, 3, 0.009},
                   {1e-30, 3, 3e-30},
                   {2e3, 2147483647, 4294967294000.0},
                   {0.958253038784118, 1747458476, 1674507394.7760637},
                   {0.883436403574182, 1056461718, 933316740.6637217},
                   // The product's low nine digits start with a zero.
                   {0.123456789012345, 85, 10.493827066049326}};
  for (const Multiple& m : multiples)
    EXPECT_EQ(sim::StepClock(m.step).at(m.k), m.expected) << m.step << " x " << m.k;
  struct Sum {
    double time, step, expected;
  } sums[] = {{0.1, 0.2, 0.3}, {0.009, 0.003, 0.012}, {-0.5, 0.1, -0.4}, {1e300, 0.01, 1e300}};
  for (const Sum& s : sums)
    EXPECT_EQ(sim::StepClock(s.step).after(s.time), s.expected) << s.time << " + " << s.step;
}
