// The steps a run takes: the built-in waveforms, or an input file checked
// from end to end before the run.
#pragma once

#include <memory>
#include <string>

#include "sim/input/step_source.h"

namespace sim {

// inputPath empty: the built-in waveforms of builtInSteps steps. givenStep
// is --dt's, or 0, when an input's time column may set the step: then
// timeStep is that column's step, else 0. Null with a reason in error, and
// fileFault set when the file could not be read (not its text at fault).
std::unique_ptr<StepSource> openSteps(const std::string& inputPath, int64_t builtInSteps,
                                      double givenStep, double& timeStep, std::string& error,
                                      bool& fileFault);

}  // namespace sim
