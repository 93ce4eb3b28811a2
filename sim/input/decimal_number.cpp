#include "sim/input/decimal_number.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace sim {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// An exponent's digits, held at a million once past it: beyond every double.
long long boundedExponent(std::string_view digits) {
  long long exponent = 0;
  for (char c : digits)
    if (isDigit(c) && exponent < 1000000) exponent = exponent * 10 + (c - '0');
  return exponent;
}

// Whether a decimal too far out for a double is too large rather than too
// small: its first nonzero digit stands left of the point once the exponent
// (and the shift) is applied. text is unsigned and well formed.
bool isHuge(std::string_view text, int shift) {
  long long order = 0;  // of the first nonzero digit, 1 for the units
  bool found = false, afterPoint = false;
  size_t at = 0;
  for (; at < text.size() && (isDigit(text[at]) || text[at] == '.'); ++at) {
    if (text[at] == '.') {
      afterPoint = true;
    } else if (!found && text[at] != '0') {
      found = true;
      order += afterPoint ? 0 : 1;
    } else if (!found ? afterPoint : !afterPoint) {
      order += afterPoint ? -1 : 1;
    }
  }
  bool negative = at + 1 < text.size() && text[at + 1] == '-';
  long long exponent = at < text.size() ? boundedExponent(text.substr(at + 1)) : 0;
  return order + (negative ? -exponent : exponent) + shift > 0;
}

// text, well formed, with its exponent moved by shift: the digits as they
// are and one exponent, so from_chars rounds once.
std::from_chars_result readShifted(std::string_view text, int shift, double& read) {
  size_t mark = text.find_first_of("eE");
  long long exponent = 0;
  if (mark != std::string_view::npos) {
    std::string_view digits = text.substr(mark + 1);
    bool negative = !digits.empty() && digits.front() == '-';
    exponent = negative ? -boundedExponent(digits) : boundedExponent(digits);
  }
  char small[128];
  std::string large;
  std::string_view mantissa = text.substr(0, mark);
  char* out = small;
  if (mantissa.size() + 24 > sizeof small) {
    large.resize(mantissa.size() + 24);
    out = large.data();
  }
  char* end = std::copy(mantissa.begin(), mantissa.end(), out);
  *end++ = 'e';
  end = std::to_chars(end, end + 22, exponent + shift).ptr;
  std::from_chars_result result = std::from_chars(out, end, read);
  result.ptr = result.ptr == end ? text.data() + text.size() : text.data();
  return result;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if ((text[i] | 0x20) != lower[i]) return false;
  return true;
}

}  // namespace

bool readNonFinite(std::string_view text, double& value) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (negative || text.front() == '+')) text.remove_prefix(1);
  if (equalsIgnoringCase(text, "nan")) {
    value = negative ? -NAN : NAN;
  } else if (equalsIgnoringCase(text, "inf") || equalsIgnoringCase(text, "infinity")) {
    value = negative ? -INFINITY : INFINITY;
  } else {
    return false;
  }
  return true;
}

DecimalRead readDecimal(std::string_view text, double& value, int shift) {
  // from_chars takes no '+' and also reads inf and nan: after the sign a
  // number starts with a digit or a point.
  bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (negative || text.front() == '+')) text.remove_prefix(1);
  if (text.empty() || !(isDigit(text.front()) || text.front() == '.'))
    return DecimalRead::kNotANumber;
  double read = 0.0;
  std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), read);
  if (result.ptr != text.data() + text.size() ||
      (result.ec != std::errc() && result.ec != std::errc::result_out_of_range))
    return DecimalRead::kNotANumber;
  if (shift != 0) result = readShifted(text, shift, read);
  if (result.ec == std::errc::result_out_of_range) {
    if (isHuge(text, shift)) return DecimalRead::kOutOfRange;
    read = 0.0;  // too small for a subnormal: the nearest double
  }
  value = negative ? -read : read;
  return DecimalRead::kOk;
}

}  // namespace sim
