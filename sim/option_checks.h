// Checks of the options that need the input or the file system, made after
// parsing and before the first call into the module.
#pragma once

#include <cstdint>
#include <string>

#include "sim/input/step_source.h"
#include "sim/options.h"

namespace sim {

// What the options ask of the input's run: --fail-write-at within its
// writes (two a step, two at shutdown), and its last time within a double.
bool checkAgainstInput(const Options& options, const StepSource& input, std::string& error);

// No output may be the input, the module or the other output, compared as
// files; and the summary keeps a standard stream no output takes.
bool checkDistinctPaths(const Options& options, std::string& error);

}  // namespace sim
