// Checks of the options that need the input or the file system, made after
// parsing and before the first call into the module.
#pragma once

#include <cstdint>
#include <string>

#include "sim/options.h"

namespace sim {

// --fail-write-at within the run's writes: two a step, two at shutdown.
bool checkFailWriteAt(const Options& options, int64_t steps, std::string& error);

// No output may be the input, the module or the other output, compared as
// files; and the summary keeps a standard stream no output takes.
bool checkDistinctPaths(const Options& options, std::string& error);

}  // namespace sim
