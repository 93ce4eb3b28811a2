// The shortest decimal text that reads back to the same double, as
// std::to_chars writes it, several times quicker: a trace writes three such
// numbers per step.
#pragma once

namespace sim {

// Room a number takes at most.
constexpr int kShortestDecimalRoom = 48;

// Writes value at `at` (kShortestDecimalRoom bytes of room) exactly as
// std::to_chars(char*, char*, double) does; returns the end.
char* writeShortestDecimal(char* at, double value);

}  // namespace sim
