// An SVG plot of both outputs over time, gathered step by step in constant
// memory: two panels (ao0 above, ao1 below) sharing the time axis.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/run/run_result.h"

namespace sim {

// The levels of one series over a stretch of steps: the first and last, and
// the extremes in the order they came (a requested NaN ranks highest).
struct StepEnvelope {
  int64_t firstStep = -1;  // -1 while empty
  int64_t lastStep = -1;
  double first = 0.0, last = 0.0, low = 0.0, high = 0.0;
  bool lowFirst = true;  // the lowest level came before the highest
  void add(int64_t step, double value);
};

class SvgPlot {
 public:
  // A run of steps of dt seconds each from start (the time axis shows it);
  // start + steps * dt must be finite.
  SvgPlot(int64_t steps, double dt, double start = 0.0);
  void add(const StepRecord& step);  // the shutdown row is not plotted
  // The whole picture: axes with units (time at round ticks, each labelled
  // exactly), the 0-5 V band with a margin (a value far outside it, or not a
  // number, clipped at the panel's edge and marked with its value), each
  // output as the level it holds through each step (the last one included),
  // the requested value dashed wherever the output did not follow it, each
  // run of refused writes as a span with its count, no level where it is
  // unknown but a shaded, captioned span, and at the end what shutdown left
  // (from the run's figures): a refused zeroing write marked, an output left
  // holding a level shown holding it past the end, or its level said to be
  // unknown. Text goes where no line runs. A legend lists the marks. Runs
  // longer than a couple of thousand steps are drawn as the lowest and
  // highest level of each stretch of time.
  std::string render(const std::string& title, const std::array<ChannelFigures, 2>& end) const;

 private:
  struct Stretch {             // of one channel over one stretch of steps
    StepEnvelope output;       // the known levels
    int64_t unknownFrom = -1;  // the steps whose level is unknown, -1 if none
    int64_t unknownTo = -1;
    StepEnvelope unfollowed;  // the requested value, in the steps the output missed it
    int64_t refused = 0;
  };
  std::string drawPanel(size_t channel, double top, const ChannelFigures& end) const;
  bool missedAny() const;
  bool unknownAny() const;

  int64_t steps_;
  double dt_;
  double start_;
  std::array<std::vector<Stretch>, 2> stretches_;
};

// The step count and size give a plot whose time axis is finite.
bool plottableSpan(int64_t steps, double dt, double start = 0.0);

}  // namespace sim
