// Refused writes on a plot's panel: a bar over the time they took and a
// count above it, so that a run of refusals reads as one span, not a marker
// a step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct RefusedSpan {
  double x0, x1;  // pixels, x0 < x1
  int64_t count;
};

// The bars of spans (in order of time, those that touch joined) just above
// a panel whose top edge is at top and which lies between left and right,
// and a count over each group of spans whose counts would otherwise touch.
std::string refusalMarks(const std::vector<RefusedSpan>& spans, double left, double right,
                         double top, const std::string& id, const char* colour);

}  // namespace sim
