// The default input: a 0-5 V sine on ao0 (one period over the run) and a
// 0-5 V ramp on ao1.
#pragma once

#include "sim/input/step_source.h"

namespace sim {

class BuiltInWaveforms : public StepSource {
 public:
  explicit BuiltInWaveforms(int64_t steps)
      : steps_(steps), lastIndex_(steps > 1 ? static_cast<double>(steps - 1) : 0.0) {}
  int64_t steps() const override { return steps_; }
  std::string description() const override;
  bool next(StepInput& volts, std::string& error) override;

 private:
  int64_t steps_;
  double lastIndex_;  // the phase's divisor, converted once
  int64_t done_ = 0;
};

}  // namespace sim
