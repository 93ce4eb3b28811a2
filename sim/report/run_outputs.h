// The trace and the plot a run writes as it goes, and the progress line.
#pragma once

#include <memory>
#include <string>

#include "sim/report/progress.h"
#include "sim/report/svg_plot.h"
#include "sim/report/trace_csv.h"
#include "sim/run/run_result.h"
#include "sim/system/output_file.h"

namespace sim {

struct OutputRequest {
  std::string tracePath;  // empty: none; "-": standard output
  std::string plotPath;   // empty: none
  std::string plotTitle;
  int64_t steps;
  double dt;
  double startTime;
};

class RunOutputs : public StepObserver {
 public:
  explicit RunOutputs(const OutputRequest& request);

  bool open(std::string& error);
  void onStep(const StepRecord& step) override;
  bool wantsEveryStep() const override { return trace_ != nullptr || plotFile_.isOpen(); }

  // A completed run: the trace's last rows and the plot written, and every
  // file made whole.
  bool finish(const RunResult& result, std::string& error);
  // A stopped run: a stream keeps what it got, up to the shutdown; a file
  // keeps what it had.
  void stop(const RunResult& result);
  // The input failed part-way: what was written is not the run asked for.
  void discard();

  bool onStandardOutput() const {
    return traceFile_.isStandardOutput() || plotFile_.isStandardOutput();
  }

 private:
  OutputRequest request_;
  OutputFile traceFile_, plotFile_;
  std::unique_ptr<TraceCsv> trace_;
  SvgPlot plot_;
  ProgressLine progress_;
};

}  // namespace sim
