// Where a run's input volts come from, one step at a time, so that no run
// keeps its whole input in memory.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sim {

// Longest run: the step index and counts stay within 32-bit signed integers.
constexpr int64_t kMaxSteps = 2147483647;

using StepInput = std::array<double, 2>;  // volts for ao0, ao1

class StepSource {
 public:
  virtual ~StepSource() = default;
  // Known before the run: the source has been checked from end to end.
  virtual int64_t steps() const = 0;
  // For the summary, e.g. "file in.csv".
  virtual std::string description() const = 0;
  // The next step's volts. False at the end, or with a reason in error.
  virtual bool next(StepInput& volts, std::string& error) = 0;
  // Whether each step comes with its own time (an input's time column);
  // then time() is the time of the step next() gave last, in seconds.
  virtual bool timed() const { return false; }
  virtual double time() const { return 0.0; }
  // The first step's time: a timed source's own, else 0.
  virtual double startTime() const { return 0.0; }
};

}  // namespace sim
