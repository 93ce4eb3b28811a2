// Numbers as the shortest decimal text that reads back to the same double,
// for the trace, the summary and the messages that quote a number; NaN, Inf
// and -Inf as the host writes them.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

// Room for any number writeShortestDecimal writes: the longest shortest
// form, "-2.2250738585072014e-308", takes 24.
constexpr size_t kDecimalRoom = 32;

// Writes value at `at`, which has kDecimalRoom bytes free; returns the end.
char* writeShortestDecimal(char* at, double value);

std::string shortestDecimal(double value);

}  // namespace sim
