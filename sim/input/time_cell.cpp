#include "sim/input/time_cell.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

namespace sim {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool sameWord(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// Leading digits of text as a number, which leave text; false for none or
// more than fit.
bool takeWhole(std::string_view& text, uint64_t& value, size_t most = 12) {
  size_t length = 0;
  while (length < text.size() && isDigit(text[length])) ++length;
  if (length == 0 || length > most) return false;
  std::from_chars(text.data(), text.data() + length, value);
  text.remove_prefix(length);
  return true;
}

bool takeText(std::string_view& text, std::string_view word) {
  if (text.substr(0, word.size()) != word) return false;
  text.remove_prefix(word.size());
  return true;
}

// "[D days ]H:MM:SS[.fff]" as the decimal text of its seconds, so the
// number is rounded once; false for another form.
bool clockSeconds(std::string_view text, std::string& seconds, bool& whole) {
  uint64_t days = 0, hours = 0, minutes = 0, wholeSeconds = 0;
  std::string_view rest = text;
  if (takeWhole(rest, days, 6) && (takeText(rest, " days ") || takeText(rest, " day "))) {
    text = rest;
  } else {
    days = 0;
  }
  if (!takeWhole(text, hours, 6) || !takeText(text, ":") || text.size() < 5 || !isDigit(text[0]) ||
      !isDigit(text[1]) || text[2] != ':' || !isDigit(text[3]) || !isDigit(text[4]))
    return false;
  takeWhole(text, minutes, 2);
  text.remove_prefix(1);
  takeWhole(text, wholeSeconds, 2);
  if (minutes > 59 || wholeSeconds > 59) return false;
  whole = text.empty();
  if (!whole &&
      (text.size() < 2 || text[0] != '.' || !std::all_of(text.begin() + 1, text.end(), isDigit)))
    return false;
  seconds = std::to_string(((days * 24 + hours) * 60 + minutes) * 60 + wholeSeconds);
  seconds += text;
  return true;
}

}  // namespace

bool timeUnitShift(std::string_view unit, int& shift) {
  for (std::string_view word : {"s", "sec", "secs", "seconds"})
    if (sameWord(unit, word)) return shift = 0, true;
  for (std::string_view word : {"ms", "msec", "milliseconds"})
    if (sameWord(unit, word)) return shift = -3, true;
  return false;
}

TimeCell readTimeCell(std::string_view field, int shift) {
  TimeCell cell;
  std::string seconds;
  if (clockSeconds(field, seconds, cell.wholeSeconds)) {
    cell.clock = true;
    cell.read = readDecimal(seconds, cell.seconds);
    return cell;
  }
  const size_t space = field.rfind(' ');
  if (space != std::string_view::npos && timeUnitShift(field.substr(space + 1), shift)) {
    cell.unit = field.substr(space + 1);
    field = field.substr(0, field.find_last_not_of(' ', space) + 1);
  }
  cell.read = readDecimal(field, cell.seconds, shift);
  return cell;
}

}  // namespace sim
