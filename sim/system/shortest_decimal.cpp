#include "sim/system/shortest_decimal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sim {
namespace {

char* writeText(char* at, const char* text, size_t length) {
  std::memcpy(at, text, length);
  return at + length;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Removes the trailing zeros of digits, a number with `decimals` decimals.
void stripZeros(int64_t& digits, int& decimals) {
  auto strip = [&](int count, int64_t unit) {
    if (decimals >= count && digits % unit == 0) {
      digits /= unit;
      decimals -= count;
    }
  };
  strip(16, 10000000000000000);
  strip(8, 100000000);
  strip(4, 10000);
  strip(2, 100);
  strip(1, 10);
}

// value written in fixed notation as the general shortest form below writes
// it, in a fraction of the time, when its shortest digits fit below 2^53
// once scaled to `decimals` decimals; else null. Below 2^53 the scaled
// digits are exact, an exact division tells whether they read back as
// value, and the decimals that do lie in an interval less than 2 wide: when
// neither neighbour reads back, the digits found are the only ones, so the
// shortest. From 0.001 up, fixed notation is the shorter for a number with
// decimals; whole numbers are left to the general form.
char* writeFixedDecimal(char* at, double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-3 && magnitude < 0x1p53)) return nullptr;
  // Most decimals to try: each tier's lowest number times its power of ten
  // is below 2^53 (9.007e15).
  int decimals = magnitude >= 1e3 ? 12 : magnitude >= 1.0 ? 15 : magnitude >= 0.01 ? 17 : 18;
  while (magnitude * kPowersOfTen[decimals] >= 0x1p53) --decimals;
  const double scale = kPowersOfTen[decimals];
  const double scaled = magnitude * scale;
  // From 2^52 up every double is whole; adding a half there could round up.
  const bool wide = scaled >= 0x1p52;
  auto digits = static_cast<int64_t>(wide ? scaled : scaled + 0.5);
  auto readsBack = [&](int64_t candidate) {
    return static_cast<double>(candidate) / scale == magnitude;
  };
  if (!readsBack(digits)) return nullptr;
  // Below 2^52 the interval is less than 1 wide: no neighbour can read back.
  if (wide && (readsBack(digits - 1) || readsBack(digits + 1))) return nullptr;
  stripZeros(digits, decimals);
  if (decimals == 0) return nullptr;
  if (std::signbit(value)) *at++ = '-';
  // The digits once, then the point put in; "0.0" and zeros before digits
  // that are all decimals.
  char text[24];
  const auto length = static_cast<int>(std::to_chars(text, text + sizeof text, digits).ptr - text);
  const int whole = length - decimals;
  if (whole > 0) {
    at = writeText(at, text, static_cast<size_t>(whole));
  } else {
    *at++ = '0';
  }
  *at++ = '.';
  if (whole < 0) {
    std::memset(at, '0', static_cast<size_t>(-whole));
    at += -whole;
  }
  const int first = whole > 0 ? whole : 0;
  return writeText(at, text + first, static_cast<size_t>(length - first));
}

}  // namespace

char* writeShortestDecimal(char* at, double value) {
  // As the host writes and reads them back.
  if (std::isnan(value)) return writeText(at, "NaN", 3);
  if (std::isinf(value)) return value > 0 ? writeText(at, "Inf", 3) : writeText(at, "-Inf", 4);
  if (char* end = writeFixedDecimal(at, value)) return end;
  // Whole volts and seconds are common and much quicker to write as integers.
  if (value == std::trunc(value) && std::fabs(value) < 1e15 && !std::signbit(value))
    return std::to_chars(at, at + kDecimalRoom, static_cast<int64_t>(value)).ptr;
  return std::to_chars(at, at + kDecimalRoom, value).ptr;
}

std::string shortestDecimal(double value) {
  char text[kDecimalRoom];
  return std::string(text, writeShortestDecimal(text, value));
}

}  // namespace sim
