// The trace's number writer against the standard library's: the same text
// for every kind of double, on every target (32-bit ones take another path).
#include "sim/shortest_decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string ours(double value) {
  char text[sim::kShortestDecimalRoom];
  return std::string(text, sim::writeShortestDecimal(text, value));
}

std::string library(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

double fromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TEST(ShortestDecimal, WritesWhatToCharsWrites) {
  std::vector<double> values = {0.0,
                                -0.0,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                1e-320,
                                0.1,
                                0.3,
                                2.5000000000000004,
                                4.999999999999999,
                                1e-5,
                                0.0001,
                                123456.789,
                                1e22,
                                9007199254740993.0};
  // Every binade's edges, every power of ten's neighbours.
  for (int e = -1074; e <= 1023; e += 1) {
    double p = std::ldexp(1.0, e);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 2.0 * p)});
  }
  for (int e = -323; e <= 308; ++e) {
    double p = std::pow(10.0, e);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 2.0 * p)});
  }
  // Any bit pattern, short decimals at any scale, and steps as a run makes them.
  std::mt19937_64 random(2024);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(fromBits(random()));
    values.push_back(static_cast<double>(random() % 100000) / std::pow(10.0, random() % 30));
    values.push_back(i * 0.01);
    values.push_back(2.5 + 2.5 * std::sin(i * 1e-3));
  }
  int mismatches = 0;
  for (double value : values) {
    for (double number : {value, -value}) {
      if (ours(number) != library(number) && ++mismatches <= 10)
        ADD_FAILURE() << library(number) << " written as " << ours(number);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
