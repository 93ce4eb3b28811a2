// The times of a run's steps as decimals: step 3 of a step written 0.1 is at
// 0.3, not at 3 × 0.1 = 0.30000000000000004, so a trace joins on time with
// the signal it came from.
#pragma once

#include <cstdint>

namespace sim {

class StepClock {
 public:
  // step: positive and finite; taken as its shortest decimal form.
  explicit StepClock(double step);
  // The double nearest k steps from 0, k from 0 to 2^31.
  double at(int64_t k) const;
  // The double nearest time's shortest decimal form plus one step.
  double after(double time) const;

 private:
  double step_;
  uint64_t digits_ = 0;  // step_ is digits_ × 10^exponent_, digits_ below 10^17
  int exponent_ = 0;
  // Below quickSteps_ steps, steps × digits_ and the power of ten are exact
  // doubles: one division (divide_) or multiplication by scale_ rounds once.
  uint64_t quickSteps_ = 0;
  double scale_ = 1.0;
  bool divide_ = false;
};

}  // namespace sim
