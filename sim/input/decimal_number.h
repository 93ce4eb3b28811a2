// Numbers as a user writes them: the C locale's decimal floating point, with
// none of strtod's other forms (hexadecimal), and the words for NaN and Inf.
#pragma once

#include <string_view>

namespace sim {

enum class DecimalRead { kOk, kNotANumber, kOutOfRange };

// [+-] digits [. digits] [(e|E) [+-] digits], at least one digit before the
// exponent. A value too small for a double reads as the nearest one (zero or
// a subnormal); one too large is out of range. shift moves the decimal point
// before rounding, so "1500" with shift -3 reads as exactly what "1.5" does:
// millivolts and milliseconds become volts and seconds with one rounding.
DecimalRead readDecimal(std::string_view text, double& value, int shift = 0);

// The words the host and data-frame libraries write for a missing or
// overflowed sample: nan, inf or infinity, in any case, with an optional
// sign. False for anything else, value untouched.
bool readNonFinite(std::string_view text, double& value);

}  // namespace sim
