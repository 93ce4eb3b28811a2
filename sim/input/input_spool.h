// An input that is a stream (standard input as "-", a pipe, a FIFO, a
// process substitution) is read twice like a file: checked, then run. It is
// copied once into a temporary that nobody can see and that goes when it is
// closed, or when the program ends however it ends.
#pragma once

#include <cstdio>
#include <string>

namespace sim {

// The copy, at its start; null with one line in error.
std::FILE* spooledCopy(const std::string& path, std::string& error);

}  // namespace sim
