#include "sim/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace sim {
namespace {

constexpr double kWidth = 800, kHeight = 440;
constexpr double kLeft = 70, kRight = 150, kTop = 50, kBottom = 60;
constexpr double kBandLow = 0.0, kBandHigh = 5.0;
const char* const kColours[2] = {"#1f77b4", "#d62728"};

struct Axes {
  double t0, t1, v0, v1;
  double x(double t) const { return kLeft + (t - t0) / (t1 - t0) * (kWidth - kLeft - kRight); }
  double y(double v) const { return kTop + (v1 - v) / (v1 - v0) * (kHeight - kTop - kBottom); }
};

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string number(double value) {
  if (std::fabs(value) < 1e-12) value = 0.0;  // no "-0" on an axis
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", value);
  return text;
}

// A round tick spacing (1, 2 or 5 times a power of ten) giving about n ticks.
double tickStep(double span, int n) {
  double raw = span / n;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

Axes axesFor(const RunResult& result) {
  Axes axes{0.0, 1.0, kBandLow - 0.5, kBandHigh + 0.5};
  if (!result.steps.empty()) axes.t1 = std::max(result.steps.back().time, 1e-9);
  for (const StepRecord& step : result.steps) {
    for (double v : step.actual) {
      axes.v0 = std::min(axes.v0, std::floor(v) - 0.5);
      axes.v1 = std::max(axes.v1, std::ceil(v) + 0.5);
    }
  }
  return axes;
}

void drawBandAndGrid(std::ostream& svg, const Axes& a) {
  svg << "<rect x='" << a.x(a.t0) << "' y='" << a.y(kBandHigh) << "' width='"
      << a.x(a.t1) - a.x(a.t0) << "' height='" << a.y(kBandLow) - a.y(kBandHigh)
      << "' fill='#e8f4e8'/>\n";
  double vStep = tickStep(a.v1 - a.v0, 8);
  for (double v = std::ceil(a.v0 / vStep) * vStep; v <= a.v1 + 1e-9; v += vStep) {
    svg << "<line x1='" << a.x(a.t0) << "' x2='" << a.x(a.t1) << "' y1='" << a.y(v) << "' y2='"
        << a.y(v) << "' stroke='#ddd'/>\n";
    svg << "<text x='" << a.x(a.t0) - 8 << "' y='" << a.y(v) + 4 << "' text-anchor='end'>"
        << number(v) << "</text>\n";
  }
  double tStep = tickStep(a.t1 - a.t0, 8);
  for (double t = a.t0; t <= a.t1 + 1e-9; t += tStep) {
    svg << "<line x1='" << a.x(t) << "' x2='" << a.x(t) << "' y1='" << a.y(a.v0) << "' y2='"
        << a.y(a.v0) + 5 << "' stroke='#333'/>\n";
    svg << "<text x='" << a.x(t) << "' y='" << a.y(a.v0) + 20 << "' text-anchor='middle'>"
        << number(t) << "</text>\n";
  }
}

void drawAxes(std::ostream& svg, const Axes& a) {
  svg << "<polyline points='" << a.x(a.t0) << "," << a.y(a.v1) << " " << a.x(a.t0) << ","
      << a.y(a.v0) << " " << a.x(a.t1) << "," << a.y(a.v0) << "' fill='none' stroke='#333'/>\n";
  svg << "<text x='" << (a.x(a.t0) + a.x(a.t1)) / 2 << "' y='" << kHeight - 15
      << "' text-anchor='middle'>time (s)</text>\n";
  svg << "<text transform='translate(20," << (a.y(a.v0) + a.y(a.v1)) / 2
      << ") rotate(-90)' text-anchor='middle'>output (V)</text>\n";
}

// Points of one output, at most about 2 x kMaxBuckets of them: a long run is
// cut into time buckets, each drawn by its lowest and highest level in the
// order they came, so the plot keeps its envelope at any length.
constexpr size_t kMaxBuckets = 2000;

void drawSeries(std::ostream& svg, const Axes& a, const RunResult& result, size_t channel) {
  svg << "<polyline class='series' id='ao" << channel << "' fill='none' stroke='"
      << kColours[channel] << "' stroke-width='1.5' points='";
  const std::vector<StepRecord>& steps = result.steps;
  auto point = [&](size_t k) {
    svg << a.x(steps[k].time) << "," << a.y(steps[k].actual[channel]) << " ";
  };
  if (steps.size() <= kMaxBuckets) {
    // An output holds its level until the next write: draw steps, not ramps.
    for (size_t k = 0; k < steps.size(); ++k) {
      if (k > 0) svg << a.x(steps[k].time) << "," << a.y(steps[k - 1].actual[channel]) << " ";
      point(k);
    }
  } else {
    for (size_t bucket = 0; bucket < kMaxBuckets; ++bucket) {
      size_t first = bucket * steps.size() / kMaxBuckets;
      size_t last = (bucket + 1) * steps.size() / kMaxBuckets;
      size_t low = first, high = first;
      for (size_t k = first; k < last; ++k) {
        if (steps[k].actual[channel] < steps[low].actual[channel]) low = k;
        if (steps[k].actual[channel] > steps[high].actual[channel]) high = k;
      }
      point(std::min(low, high));
      point(std::max(low, high));
    }
  }
  svg << "'/>\n";
}

void drawLegend(std::ostream& svg) {
  double x = kWidth - kRight + 20, y = kTop + 10;
  const char* labels[3] = {"Dev1/ao0", "Dev1/ao1", "0-5 V range"};
  for (int i = 0; i < 3; ++i) {
    double row = y + 22 * i;
    if (i < 2)
      svg << "<line x1='" << x << "' x2='" << x + 24 << "' y1='" << row << "' y2='" << row
          << "' stroke='" << kColours[i] << "' stroke-width='3'/>\n";
    else
      svg << "<rect x='" << x << "' y='" << row - 6
          << "' width='24' height='12' fill='#e8f4e8'/>\n";
    svg << "<text x='" << x + 30 << "' y='" << row + 4 << "'>" << labels[i] << "</text>\n";
  }
}

}  // namespace

bool writeSvgPlot(const std::string& path, const std::string& title, const RunResult& result) {
  Axes axes = axesFor(result);
  std::ostringstream svg;
  svg << "<?xml version='1.0' encoding='UTF-8'?>\n"
      << "<svg xmlns='http://www.w3.org/2000/svg' width='" << kWidth << "' height='" << kHeight
      << "' viewBox='0 0 " << kWidth << " " << kHeight
      << "' font-family='sans-serif' font-size='12'>\n"
      << "<rect width='100%' height='100%' fill='white'/>\n"
      << "<text x='" << kLeft << "' y='28' font-size='16'>" << escaped(title) << "</text>\n";
  drawBandAndGrid(svg, axes);
  drawAxes(svg, axes);
  for (size_t channel = 0; channel < 2; ++channel) drawSeries(svg, axes, result, channel);
  drawLegend(svg);
  svg << "</svg>\n";
  std::ofstream file(path);
  return file && (file << svg.str()) && file.flush();
}

}  // namespace sim
