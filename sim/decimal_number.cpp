#include "sim/decimal_number.h"

#include <charconv>
#include <system_error>

namespace sim {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether a decimal too far out for a double is too large rather than too
// small: its first nonzero digit stands left of the point once the exponent
// is applied. text is unsigned and well formed.
bool isHuge(std::string_view text) {
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
  long long exponent = 0;
  bool negative = at + 1 < text.size() && text[at + 1] == '-';
  for (++at; at < text.size(); ++at)
    if (isDigit(text[at]) && exponent < 1000000) exponent = exponent * 10 + (text[at] - '0');
  return order + (negative ? -exponent : exponent) > 0;
}

}  // namespace

DecimalRead readDecimal(std::string_view text, double& value) {
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
  if (result.ec == std::errc::result_out_of_range) {
    if (isHuge(text)) return DecimalRead::kOutOfRange;
    read = 0.0;  // too small for a subnormal: the nearest double
  }
  value = negative ? -read : read;
  return DecimalRead::kOk;
}

}  // namespace sim
