#include "sim/run/step_clock.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t kExactInteger = uint64_t{1} << 53;

// value's shortest decimal form as digits × 10^exponent.
void shortestDigits(double value, int64_t& digits, int& exponent) {
  char text[40];
  char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  *end = '\0';
  const char* mark = std::strchr(text, 'e');
  digits = 0;
  int fraction = 0;
  bool afterPoint = false;
  for (const char* at = text; at < mark; ++at) {
    if (*at == '.') afterPoint = true;
    if (*at < '0' || *at > '9') continue;
    digits = digits * 10 + (*at - '0');
    fraction += afterPoint ? 1 : 0;
  }
  if (text[0] == '-') digits = -digits;
  exponent = std::atoi(mark + 1) - fraction;
}

// The double nearest the decimal text written as whole digits and a power
// of ten: from_chars rounds it once.
double nearest(const char* digits, char* end, int exponent) {
  *end++ = 'e';
  end = std::to_chars(end, end + 12, exponent).ptr;
  double value = 0.0;
  std::from_chars(digits, end, value);
  return value;
}

// digits × 10^by, unless that overflows.
bool scaleUp(int64_t& digits, int by) {
  for (; by > 0; --by)
    if (__builtin_mul_overflow(digits, 10, &digits)) return false;
  return true;
}

}  // namespace

StepClock::StepClock(double step) : step_(step) {
  int64_t digits = 0;
  shortestDigits(step, digits, exponent_);
  digits_ = static_cast<uint64_t>(digits);
  if (exponent_ >= -22 && exponent_ <= 22 && digits_ > 0) {
    quickSteps_ = (kExactInteger - 1) / digits_ + 1;
    divide_ = exponent_ < 0;
    scale_ = kExactPowersOfTen[divide_ ? -exponent_ : exponent_];
  }
}

double StepClock::at(int64_t k) const {
  const auto steps = static_cast<uint64_t>(k);
  if (steps < quickSteps_) {
    const auto whole = static_cast<double>(steps * digits_);
    return divide_ ? whole / scale_ : whole * scale_;
  }
  // Else the product's digits as text, in two parts that cannot overflow:
  // steps below 2^31 times digits below 10^17 split at 10^9.
  constexpr uint64_t kSplit = 1000000000;
  const uint64_t low = steps * (digits_ % kSplit);
  const uint64_t high = steps * (digits_ / kSplit) + low / kSplit;
  char text[64];
  char* end = text;
  if (high != 0) {
    end = std::to_chars(end, text + 24, high).ptr;
    char part[16];
    char* partEnd = std::to_chars(part, part + sizeof part, low % kSplit).ptr;
    const auto length = static_cast<size_t>(partEnd - part);
    std::memset(end, '0', 9 - length);
    end = std::copy(part, partEnd, end + (9 - length));
  } else {
    end = std::to_chars(end, text + 24, low).ptr;
  }
  return nearest(text, end, exponent_);
}

double StepClock::after(double time) const {
  int64_t timeDigits = 0, sum = 0;
  int timeExponent = 0;
  shortestDigits(time, timeDigits, timeExponent);
  auto stepDigits = static_cast<int64_t>(digits_);
  // Both at the finer exponent; a sum past 64 bits is past a double's
  // digits too, and the plain sum rounds as well as any.
  const int common = std::min(timeExponent, exponent_);
  if (!scaleUp(timeDigits, timeExponent - common) || !scaleUp(stepDigits, exponent_ - common) ||
      __builtin_add_overflow(timeDigits, stepDigits, &sum))
    return time + step_;
  char text[48];
  return nearest(text, std::to_chars(text, text + 24, sum).ptr, common);
}

}  // namespace sim
