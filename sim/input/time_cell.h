// How a time column's cell gives its time: seconds as a decimal number,
// perhaps with a unit after it ("0.01 sec", "10 ms"), or as a clock
// ("00:00:00.010", "0 days 00:00:00.010"), as duration exports write it.
#pragma once

#include <string_view>

#include "sim/input/decimal_number.h"

namespace sim {

// Whether unit (any case) is a unit of time: s, sec, secs, seconds (shift 0)
// or ms, msec, milliseconds (shift -3).
bool timeUnitShift(std::string_view unit, int& shift);

struct TimeCell {
  DecimalRead read = DecimalRead::kNotANumber;
  double seconds = 0.0;
  std::string_view unit;      // the word after the number; empty for none or a clock
  bool clock = false;         // hours:minutes:seconds, perhaps after days
  bool wholeSeconds = false;  // a clock without fractions of a second
};

// field: trimmed. A bare number is in seconds moved by shift (the header's
// unit); a unit or a clock gives its own.
TimeCell readTimeCell(std::string_view field, int shift);

}  // namespace sim
