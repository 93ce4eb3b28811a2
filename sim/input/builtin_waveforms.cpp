#include "sim/input/builtin_waveforms.h"

#include <cmath>

namespace sim {

std::string BuiltInWaveforms::description() const {
  return "built-in: 0-5 V sine on ao0, 0-5 V ramp on ao1";
}

bool BuiltInWaveforms::next(StepInput& volts, std::string& /*error*/) {
  if (done_ >= steps_) return false;
  constexpr double kPi = 3.14159265358979323846;
  double phase = steps_ > 1 ? static_cast<double>(done_) / lastIndex_ : 0.0;
  volts = {2.5 + 2.5 * std::sin(2.0 * kPi * phase), 5.0 * phase};
  ++done_;
  return true;
}

}  // namespace sim
