// The per-step trace of a run as CSV, one row per step as the run goes and a
// last row for the shutdown writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/run/run_result.h"
#include "sim/system/output_file.h"

namespace sim {

// Columns: step (counted from 1, as the block's warnings count steps; the
// first step is at time 0), time_s, then for ao0 and ao1 each requested_V,
// actual_V (empty where the level is unknown: no card, a channel another task
// holds, before the channel's first accepted write) and status: the card's
// status of the channel's write as a signed
// integer, 0 when accepted, empty when the channel was not written. Every
// field is a plain number, so cut and awk split rows at each comma. Numbers
// are written in the shortest form that reads back to the same double. The
// shutdown row has "shutdown" as its step.
class TraceCsv {
 public:
  explicit TraceCsv(OutputFile& file);
  void add(const StepRecord& step);
  // Hands the rows not yet written to the file; call before finishing it.
  void flush();

 private:
  // At least n free bytes at the end of the pending rows, flushing first if
  // need be; n must not exceed kChunk.
  char* room(size_t n) {
    if (pending_.size() - used_ < n) flush();
    return pending_.data() + used_;
  }
  void put(std::string_view text);

  // Rows are gathered and written a chunk at a time: a row is far cheaper to
  // copy here than to hand to the file one by one.
  static constexpr size_t kChunk = 1 << 16;
  OutputFile& file_;
  std::vector<char> pending_;  // sized once, so a step allocates nothing
  size_t used_ = 0;
};

}  // namespace sim
