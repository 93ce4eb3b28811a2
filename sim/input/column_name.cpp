#include "sim/input/column_name.h"

#include "sim/input/csv_fields.h"
#include "sim/input/time_cell.h"
#include "sim/system/quoted_text.h"

namespace sim {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isLetterOrDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower;
}

// Where the part of lower that names a channel or time ends: "ao" or "ai"
// and digits, or "time" or "t", followed by the end or by no letter or digit.
size_t baseLength(const std::string& lower) {
  size_t end = 0;
  if (lower.compare(0, 2, "ao") == 0 || lower.compare(0, 2, "ai") == 0) {
    for (end = 2; end < lower.size() && isDigit(lower[end]);) ++end;
    if (end == 2) return 0;
  } else if (lower.compare(0, 4, "time") == 0) {
    end = 4;
  } else if (lower.compare(0, 1, "t") == 0) {
    end = 1;
  }
  return end < lower.size() && isLetterOrDigit(lower[end]) ? 0 : end;
}

// The unit after the base: none, "_U", "(U)" or "[U]" (blanks allowed
// around the brackets); false for another form.
bool unitText(std::string_view rest, std::string_view& unit) {
  if (rest.empty() || rest.front() == '_') {
    unit = rest.empty() ? rest : rest.substr(1);
    return rest.empty() || !unit.empty();
  }
  rest = trimmedBlanks(rest);
  if (rest.size() < 3 ||
      !((rest.front() == '(' && rest.back() == ')') || (rest.front() == '[' && rest.back() == ']')))
    return false;
  unit = trimmedBlanks(rest.substr(1, rest.size() - 2));
  return !unit.empty();
}

}  // namespace

const char* roleName(ColumnRole role) {
  switch (role) {
    case ColumnRole::kAo0:
      return "ao0";
    case ColumnRole::kAo1:
      return "ao1";
    case ColumnRole::kTime:
      return "time";
    default:
      return "another column";
  }
}

ColumnName readColumnName(std::string_view name) {
  ColumnName column;
  const std::string lower = lowerCase(name);
  const size_t base = baseLength(lower);
  if (base == 0) return column;
  const std::string channel = lower.substr(0, base);
  if (channel == "ao0" || channel == "ao1" || channel == "time" || channel == "t") {
    column.role = channel == "ao0"   ? ColumnRole::kAo0
                  : channel == "ao1" ? ColumnRole::kAo1
                                     : ColumnRole::kTime;
  } else {
    column.fault = "column " + quotedText(name) +
                   " names a channel the block does not have: " + "it drives ao0 and ao1";
    return column;
  }
  std::string_view unit;
  const std::string shownBase(name.substr(0, base));
  const bool seconds = column.role == ColumnRole::kTime;
  if (!unitText(name.substr(base), unit)) {
    const char* example = seconds ? "s" : "V";
    column.fault = "column " + quotedText(name) + ": write its unit as " + shownBase + "_" +
                   example + ", " + shownBase + " (" + example + ") or " + shownBase + " [" +
                   example + "]";
    return column;
  }
  if (unit.empty()) return column;
  column.unitGiven = true;
  const std::string lowerUnit = lowerCase(unit);
  int shift = 0;
  const bool ofTime = timeUnitShift(unit, shift);
  const bool ofVolts = lowerUnit == "v" || lowerUnit == "mv";
  column.milli = seconds ? ofTime && shift != 0 : lowerUnit == "mv";
  if (seconds ? ofTime : ofVolts) return column;
  column.fault = "column " + quotedText(name) + " is in " + quotedText(unit);
  if (ofTime || ofVolts)
    column.fault += std::string(", a unit of ") + (ofTime ? "time" : "volts") + ", but " +
                    shownBase + (seconds ? " holds seconds" : " holds volts");
  column.fault +=
      ": ao0 and ao1 take V or mV, time takes s or ms (sec, secs, seconds, msec, "
      "milliseconds)";
  return column;
}

}  // namespace sim
