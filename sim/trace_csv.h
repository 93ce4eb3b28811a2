// The per-step trace of a run as CSV, one row per step as the run goes and a
// last row for the shutdown writes.
#pragma once

#include <string>

#include "sim/output_file.h"
#include "sim/run_result.h"

namespace sim {

// Columns: step, time_s, then for ao0 and ao1 each requested_V, actual_V and
// status ("ok", "not written", or the card's refusal with its status
// number). Numbers are written in the shortest form that reads back to the
// same double. The shutdown row has "shutdown" as its step.
class TraceCsv {
 public:
  explicit TraceCsv(OutputFile& file);
  void add(const StepRecord& step);

 private:
  OutputFile& file_;
  std::string row_;  // reused, so a step allocates nothing once it has grown
};

// The shortest decimal text that reads back to value.
std::string shortestDecimal(double value);

}  // namespace sim
