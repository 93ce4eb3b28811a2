// The plot's time axis: ticks at round values of the run's own span, each
// labelled with exactly the time it stands at, in as few digits as that takes.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct TimeTick {
  double offset;  // seconds from the run's start
  std::string label;
};

struct TimeAxisLabels {
  std::vector<TimeTick> ticks;
  std::string title;  // names the origin when the labels count from one
};

// Ticks for a run of `span` seconds from `start`, over an axis `pixels`
// wide, spaced so that no two labels touch. A run far from 0 for its span
// is labelled from its start, which the title states, so that no label needs
// more than a few digits.
TimeAxisLabels timeAxisLabels(double start, double span, double pixels);

}  // namespace sim
