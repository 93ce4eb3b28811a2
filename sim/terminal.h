// Whether a person is watching, and how wide their lines are.
#pragma once

#include <cstddef>
#include <cstdio>

namespace sim {

bool isTerminal(std::FILE* stream);
// Columns of the terminal on standard output; 100 when it is not one.
size_t terminalWidth();

}  // namespace sim
