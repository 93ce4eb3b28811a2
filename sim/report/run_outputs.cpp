#include "sim/report/run_outputs.h"

namespace sim {

RunOutputs::RunOutputs(const OutputRequest& request)
    : request_(request), plot_(request.steps, request.dt, request.startTime) {}

bool RunOutputs::open(std::string& error) {
  if (!request_.tracePath.empty()) {
    if (!traceFile_.open(request_.tracePath, error)) return false;
    trace_ = std::make_unique<TraceCsv>(traceFile_);
  }
  if (!request_.plotPath.empty() && !plotFile_.open(request_.plotPath, error)) return false;
  if (traceFile_.isTerminal() || plotFile_.isTerminal()) progress_.keepOff();
  return true;
}

void RunOutputs::onStep(const StepRecord& step) {
  if (trace_) trace_->add(step);
  if (plotFile_.isOpen()) plot_.add(step);
  // Reading the clock costs more than a step: look now and then.
  if (!step.shutdown && (step.step & (kSparseStride - 1)) == 0)
    progress_.update(step.step, request_.steps);
}

bool RunOutputs::finish(const RunResult& result, std::string& error) {
  progress_.finish();
  if (trace_) trace_->flush();
  if (plotFile_.isOpen()) plotFile_.write(plot_.render(request_.plotTitle, result.channels));
  return traceFile_.finish(error) && plotFile_.finish(error);
}

void RunOutputs::stop(const RunResult& result) {
  if (!traceFile_.isStream()) traceFile_.discard();
  if (!plotFile_.isStream()) plotFile_.discard();
  std::string ignored;
  finish(result, ignored);
}

void RunOutputs::discard() {
  progress_.finish();
  traceFile_.discard();
  plotFile_.discard();
}

}  // namespace sim
