#include "sim/report/time_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sim/system/shortest_decimal.h"

namespace sim {
namespace {

// A start this many spans from 0 would take labels of more than five digits.
constexpr double kFarFromZero = 1000;
constexpr double kCharWidth = 7, kLabelSpace = 12;  // pixels, at the plot's font size
constexpr int kMostTicks = 8;

// A round step: mantissa 1, 2 or 5 times ten to the exponent.
struct RoundStep {
  int64_t mantissa;
  int exponent;
  double seconds() const {
    double power = std::pow(10.0, std::abs(exponent));
    return exponent < 0 ? static_cast<double>(mantissa) / power
                        : static_cast<double>(mantissa) * power;
  }
};

// The smallest round step giving at most about n ticks over span.
RoundStep roundStep(double span, int n) {
  double raw = span / n;
  int exponent = static_cast<int>(std::floor(std::log10(raw)));
  for (int64_t m : {1, 2, 5}) {
    RoundStep step{m, exponent};
    if (step.seconds() >= raw * (1 - 1e-12)) return step;
  }
  return {1, exponent + 1};
}

// count × 10^exponent as decimal text, with no trailing zeros: exact
// whatever the count, since no binary fraction is involved.
std::string decimalText(int64_t count, int exponent) {
  // Past a dozen zeros, the shortest form reads better.
  if (std::abs(exponent) > 12)
    return shortestDecimal(static_cast<double>(count) * std::pow(10.0, exponent));
  std::string digits = std::to_string(count < 0 ? -count : count);
  if (exponent >= 0) {
    if (count != 0) digits.append(static_cast<size_t>(exponent), '0');
  } else {
    size_t decimals = static_cast<size_t>(-exponent);
    if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    digits.insert(digits.size() - decimals, ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return (count < 0 ? "-" : "") + digits;
}

// The ticks from `from` (0 or the start) of step, over [start, start + span];
// none when two labels would touch.
std::vector<TimeTick> roundTicks(double from, double start, double span, RoundStep step,
                                 double pixels) {
  const double seconds = step.seconds();
  const double first = std::ceil((start - from) / seconds - 1e-9);
  const double last = std::floor((start + span - from) / seconds + 1e-9);
  std::vector<TimeTick> ticks;
  size_t widest = 0;
  for (double k = first; k <= last; ++k) {
    ticks.push_back({from + k * seconds - start,
                     decimalText(static_cast<int64_t>(k) * step.mantissa, step.exponent)});
    widest = std::max(widest, ticks.back().label.size());
  }
  if (ticks.size() > 1 && seconds / span * pixels < widest * kCharWidth + kLabelSpace) return {};
  return ticks;
}

}  // namespace

TimeAxisLabels timeAxisLabels(double start, double span, double pixels) {
  TimeAxisLabels axis{{}, "time (s)"};
  // A step of a subnormal span has no power of ten a double holds: its ticks
  // would never end.
  if (!std::isnormal(span / kMostTicks) || !std::isfinite(span) || !std::isfinite(start)) {
    axis.ticks.push_back({0.0, shortestDecimal(start)});
    return axis;
  }
  const bool fromStart = std::fabs(start) > kFarFromZero * span;
  if (fromStart) axis.title += " from " + shortestDecimal(start);
  // Fewer ticks until their labels fit; the start alone when none do.
  for (int n = kMostTicks; n >= 1 && axis.ticks.empty(); --n)
    axis.ticks = roundTicks(fromStart ? start : 0.0, start, span, roundStep(span, n), pixels);
  if (axis.ticks.empty()) axis.ticks.push_back({0.0, fromStart ? "0" : shortestDecimal(start)});
  return axis;
}

}  // namespace sim
