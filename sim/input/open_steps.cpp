#include "sim/input/open_steps.h"

#include "sim/input/builtin_waveforms.h"
#include "sim/input/csv_input.h"

namespace sim {

std::unique_ptr<StepSource> openSteps(const std::string& inputPath, int64_t builtInSteps,
                                      double givenStep, double& timeStep, std::string& error,
                                      bool& fileFault) {
  timeStep = 0.0;
  if (inputPath.empty()) return std::make_unique<BuiltInWaveforms>(builtInSteps);
  auto csv = std::make_unique<CsvInput>(givenStep);
  if (!csv->open(inputPath, error)) {
    fileFault = csv->fileFault();
    return nullptr;
  }
  timeStep = csv->timeStep();
  return csv;
}

}  // namespace sim
