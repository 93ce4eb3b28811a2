// The shortest digits by the method of Ryu (Adams, 2018): the interval of
// decimals that read back to the double is found with one 128-bit
// multiplication per bound, then digits are dropped while the interval still
// holds a number. The rare forms (integers written in full, zero, inf, nan)
// are left to std::to_chars.
#include "sim/shortest_decimal.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "sim/shortest_decimal_tables.h"

namespace sim {
namespace {

using shortest::kPow5;
using shortest::kPow5Bits;
using shortest::kPow5Inverse;
using shortest::kPow5InverseBits;

constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1023;

// ceil(log2(5^e)) for e > 0, 1 for e = 0.
int32_t pow5Bits(int32_t e) {
  return static_cast<int32_t>(((static_cast<uint32_t>(e) * 1217359) >> 19) + 1);
}
// floor(log10(2^e)) and floor(log10(5^e)), for the exponents of a double.
uint32_t log10Pow2(int32_t e) {
  return (static_cast<uint32_t>(e) * 78913) >> 18;
}
uint32_t log10Pow5(int32_t e) {
  return (static_cast<uint32_t>(e) * 732923) >> 20;
}

bool multipleOfPowerOf5(uint64_t value, uint32_t p) {
  uint32_t count = 0;
  for (; value % 5 == 0 && count < p; value /= 5) ++count;
  return count >= p;
}

bool multipleOfPowerOf2(uint64_t value, uint32_t p) {
  return (value & ((uint64_t{1} << p) - 1)) == 0;
}

// (m * mul) >> j for a 128-bit mul {low, high} and 64 < j < 128.
uint64_t mulShift(uint64_t m, const uint64_t (&mul)[2], int32_t j) {
#ifdef __SIZEOF_INT128__
  using u128 = unsigned __int128;
  u128 low = static_cast<u128>(m) * mul[0];
  u128 high = static_cast<u128>(m) * mul[1];
  return static_cast<uint64_t>(((low >> 64) + high) >> (j - 64));
#else
  // 32-bit targets: the products from 32-bit halves.
  auto product = [](uint64_t a, uint64_t b, uint64_t& hi) {
    uint64_t aLo = a & 0xffffffffu, aHi = a >> 32, bLo = b & 0xffffffffu, bHi = b >> 32;
    uint64_t lolo = aLo * bLo, lohi = aLo * bHi, hilo = aHi * bLo, hihi = aHi * bHi;
    uint64_t mid1 = hilo + (lolo >> 32);
    uint64_t mid2 = lohi + (mid1 & 0xffffffffu);
    hi = hihi + (mid1 >> 32) + (mid2 >> 32);
    return (mid2 << 32) | (lolo & 0xffffffffu);
  };
  uint64_t high0, high1;
  product(m, mul[0], high0);
  uint64_t low1 = product(m, mul[1], high1);
  uint64_t sum = high0 + low1;
  if (sum < high0) ++high1;
  int32_t shift = j - 64;
  return (high1 << (64 - shift)) | (sum >> shift);
#endif
}

struct Decimal {
  uint64_t digits;
  int32_t exponent;  // value = digits * 10^exponent
};

// The interval's bounds and middle, scaled by 10^-e10, with whether the parts
// dropped by the scaling were all zeros.
struct Interval {
  uint64_t lower, middle, upper;
  int32_t e10;
  bool lowerExact = false, middleExact = false;
};

Interval scaledInterval(uint64_t m2, int32_t e2, uint32_t lowerShift, bool acceptBounds) {
  const uint64_t mv = 4 * m2;
  Interval v;
  if (e2 >= 0) {
    const uint32_t q = log10Pow2(e2) - (e2 > 3);
    const int32_t j =
        -e2 + static_cast<int32_t>(q) + kPow5InverseBits + pow5Bits(static_cast<int32_t>(q)) - 1;
    v = {mulShift(mv - 1 - lowerShift, kPow5Inverse[q], j), mulShift(mv, kPow5Inverse[q], j),
         mulShift(mv + 2, kPow5Inverse[q], j), static_cast<int32_t>(q)};
    if (q <= 21) {
      // Only here can the scaled values be exact.
      if (mv % 5 == 0)
        v.middleExact = multipleOfPowerOf5(mv, q);
      else if (acceptBounds)
        v.lowerExact = multipleOfPowerOf5(mv - 1 - lowerShift, q);
      else
        v.upper -= multipleOfPowerOf5(mv + 2, q);
    }
  } else {
    const uint32_t q = log10Pow5(-e2) - (-e2 > 1);
    const int32_t i = -e2 - static_cast<int32_t>(q);
    const int32_t j = static_cast<int32_t>(q) - (pow5Bits(i) - kPow5Bits);
    v = {mulShift(mv - 1 - lowerShift, kPow5[i], j), mulShift(mv, kPow5[i], j),
         mulShift(mv + 2, kPow5[i], j), static_cast<int32_t>(q) + e2};
    if (q <= 1) {
      v.middleExact = true;
      if (acceptBounds)
        v.lowerExact = lowerShift == 1;
      else
        --v.upper;
    } else if (q < 63) {
      v.middleExact = multipleOfPowerOf2(mv, q);
    }
  }
  return v;
}

// Drops digits while the interval still holds a number, the general case:
// the bounds may be exact, and a tie rounds to even.
Decimal shortestOfExact(Interval v, bool acceptBounds) {
  int32_t removed = 0;
  uint64_t lastRemoved = 0;
  for (; v.upper / 10 > v.lower / 10; ++removed) {
    v.lowerExact &= v.lower % 10 == 0;
    v.middleExact &= lastRemoved == 0;
    lastRemoved = v.middle % 10;
    v.middle /= 10, v.upper /= 10, v.lower /= 10;
  }
  if (v.lowerExact) {
    for (; v.lower % 10 == 0; ++removed) {
      v.middleExact &= lastRemoved == 0;
      lastRemoved = v.middle % 10;
      v.middle /= 10, v.upper /= 10, v.lower /= 10;
    }
  }
  if (v.middleExact && lastRemoved == 5 && v.middle % 2 == 0) lastRemoved = 4;
  bool up = (v.middle == v.lower && (!acceptBounds || !v.lowerExact)) || lastRemoved >= 5;
  return {v.middle + up, v.e10 + removed};
}

// Drops the last k digits (P = 10^k) if the interval still holds a number
// without them; a removed part of at least half rounds up.
template <uint64_t P>
bool dropDigits(Interval& v, bool& up) {
  if (v.upper / P <= v.lower / P) return false;
  up = v.middle % P >= P / 2;
  v.middle /= P, v.upper /= P, v.lower /= P;
  return true;
}

// The common case: nothing exact, round half up. As many digits go as one
// at a time would drop (whether k digits can go only gets less likely with
// k), found by chunks of 8, 4, 2 and 1: a short number such as a time of
// 0.37 drops fifteen.
Decimal shortestOfInexact(Interval v) {
  int32_t removed = 0;
  bool up = false;
  while (dropDigits<100000000>(v, up)) removed += 8;
  if (dropDigits<10000>(v, up)) removed += 4;
  if (dropDigits<100>(v, up)) removed += 2;
  if (dropDigits<10>(v, up)) removed += 1;
  return {v.middle + (v.middle == v.lower || up), v.e10 + removed};
}

// A finite, non-zero, positive double's shortest digits.
Decimal shortestDigits(uint64_t bits) {
  const uint64_t mantissa = bits & ((uint64_t{1} << kMantissaBits) - 1);
  const uint32_t exponent = static_cast<uint32_t>(bits >> kMantissaBits);
  const int32_t e2 =
      (exponent == 0 ? 1 : static_cast<int32_t>(exponent)) - kExponentBias - kMantissaBits - 2;
  const uint64_t m2 = exponent == 0 ? mantissa : (uint64_t{1} << kMantissaBits) | mantissa;
  const bool acceptBounds = (m2 & 1) == 0;
  // The lower neighbour is nearer when the mantissa is the smallest of its binade.
  const uint32_t lowerShift = mantissa != 0 || exponent <= 1;
  Interval v = scaledInterval(m2, e2, lowerShift, acceptBounds);
  return v.lowerExact || v.middleExact ? shortestOfExact(v, acceptBounds) : shortestOfInexact(v);
}

// Most numbers have 16 or 17 digits: the comparisons start there.
int digitCount(uint64_t value) {
  int count = 17;
  for (uint64_t limit = 10000000000000000u; count > 1 && value < limit; limit /= 10) --count;
  return count;
}

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void writePair(char* at, uint32_t pair) {
  std::memcpy(at, kPairs + 2 * pair, 2);
}

// The count digits of value at `at`: eight at a time in 32-bit arithmetic,
// then two at a time.
void writeDigits(char* at, uint64_t value, int count) {
  char* end = at + count;
  for (; value >= 100000000; end -= 8) {
    uint64_t high = value / 100000000;
    uint32_t low = static_cast<uint32_t>(value - high * 100000000);
    value = high;
    uint32_t upper = low / 10000, lower = low % 10000;
    writePair(end - 8, upper / 100);
    writePair(end - 6, upper % 100);
    writePair(end - 4, lower / 100);
    writePair(end - 2, lower % 100);
  }
  uint32_t rest = static_cast<uint32_t>(value);
  for (; rest >= 100; rest /= 100) {
    end -= 2;
    writePair(end, rest % 100);
  }
  if (rest >= 10)
    writePair(end - 2, rest);
  else
    end[-1] = static_cast<char>('0' + rest);
}

// Fixed (1.25, 0.0125) when no longer than scientific (1.25e-05), as
// std::to_chars chooses; only for numbers below 10^digits (exponent < 0).
// Copies are of fixed sizes, within the room, so they need no calls.
char* writeForm(char* at, Decimal d) {
  const int count = digitCount(d.digits);
  char digits[40] = {};
  writeDigits(digits, d.digits, count);
  const int scientificExponent = d.exponent + count - 1;
  const int absExponent = scientificExponent < 0 ? -scientificExponent : scientificExponent;
  const int whole = count + d.exponent;
  const int fixedLength = whole > 0 ? count + 1 : 2 - d.exponent;
  const int scientificLength = count + (count > 1) + (absExponent >= 100 ? 5 : 4);
  if (fixedLength <= scientificLength) {
    if (whole > 0) {
      std::memcpy(at, digits, 16);
      at[whole] = '.';
      std::memcpy(at + whole + 1, digits + whole, 16);
    } else {
      // At most three zeros after the point, or scientific is shorter.
      std::memcpy(at, "0.000", 5);
      std::memcpy(at + 2 - whole, digits, 24);
    }
    return at + fixedLength;
  }
  at[0] = digits[0];
  char* end = at + 1;
  if (count > 1) {
    at[1] = '.';
    std::memcpy(at + 2, digits + 1, 16);
    end = at + count + 1;
  }
  *end++ = 'e';
  *end++ = scientificExponent < 0 ? '-' : '+';
  if (absExponent >= 100) *end++ = static_cast<char>('0' + absExponent / 100);
  writePair(end, static_cast<uint32_t>(absExponent % 100));
  return end + 2;
}

}  // namespace

char* writeShortestDecimal(char* at, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  bits &= ~(uint64_t{1} << 63);
  const bool finiteNonZero = bits != 0 && (bits >> kMantissaBits) != 0x7ff;
  Decimal d = finiteNonZero ? shortestDigits(bits) : Decimal{0, 0};
  if (!finiteNonZero || d.exponent >= 0)
    return std::to_chars(at, at + kShortestDecimalRoom, value).ptr;
  if (negative) *at++ = '-';
  return writeForm(at, d);
}

}  // namespace sim
