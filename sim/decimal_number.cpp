#include "sim/decimal_number.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace sim {
namespace {

size_t skipDigits(std::string_view text, size_t at) {
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

size_t skipSign(std::string_view text, size_t at) {
  return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

bool isDecimal(std::string_view text) {
  size_t at = skipSign(text, 0);
  size_t intEnd = skipDigits(text, at);
  size_t digits = intEnd - at;
  at = intEnd;
  if (at < text.size() && text[at] == '.') {
    size_t fracEnd = skipDigits(text, at + 1);
    digits += fracEnd - (at + 1);
    at = fracEnd;
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    size_t expStart = skipSign(text, at + 1);
    size_t expEnd = skipDigits(text, expStart);
    if (expEnd == expStart) return false;
    at = expEnd;
  }
  return at == text.size();
}

}  // namespace

DecimalRead readDecimal(std::string_view text, double& value) {
  if (!isDecimal(text)) return DecimalRead::kNotANumber;
  // strtod needs a terminator; most fields fit the stack buffer.
  char small[128];
  std::string large;
  const char* start = small;
  if (text.size() < sizeof small) {
    text.copy(small, text.size());
    small[text.size()] = '\0';
  } else {
    large.assign(text);
    start = large.c_str();
  }
  errno = 0;
  value = std::strtod(start, nullptr);
  if (errno == ERANGE && std::isinf(value)) return DecimalRead::kOutOfRange;
  return DecimalRead::kOk;  // an underflow keeps strtod's nearest value
}

}  // namespace sim
