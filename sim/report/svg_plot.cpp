#include "sim/report/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/report/refusal_marks.h"
#include "sim/report/time_axis.h"
#include "sim/system/quoted_text.h"

namespace sim {
namespace {

constexpr size_t kMostStretches = 2000;
constexpr double kWidth = 800, kHeight = 550;
constexpr double kLeft = 70, kRight = 150, kTop = 74, kPanel = 180, kGap = 56;
// Above each panel, clear of its lines: a row for the output's name and what
// shutdown left, and below it the refused writes.
constexpr double kNameRow = 22;
// Text this tall and wide (pixels, at the plot's font size) fits in a gap.
constexpr double kTextHeight = 13, kCharWidth = 7;
constexpr double kBandLow = 0.0, kBandHigh = 5.0;
// A panel widens for values near the band, up to this far beyond it; values
// farther out are clipped at its edge, so the band keeps a readable share.
constexpr double kFarthestBeyondBand = 3.0;
// Clipped excursions closer than this (pixels) share one label of their
// value: room for two of the widest labels, one after its mark and the next
// before its own near the end.
constexpr double kClipLabelWidth = 200;
// The label of a clipped value lies this far (pixels) beside its mark, and
// reaches this far in from the edge.
constexpr double kClipLabelGap = 8, kClipLabelDepth = 13;
constexpr size_t kLongestTitle = 80;
const char* const kColours[2] = {"#1f77b4", "#d62728"};
const char* const kRefusedColour = "#ff7f0e";
const char* const kUnknownShade = "#d0d0d0";

std::string format(const char* pattern, double a) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a);
  return text;
}

std::string px(double value) {
  return format("%.2f", value);
}

// A value as a label says it; NaN and the infinities by name.
std::string label(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  if (std::fabs(value) < 1e-300) value = 0.0;  // no "-0" on an axis
  return format("%.4g", value);
}

// NaN is drawn, and ranked, past the top of a panel: it is no level at all.
bool above(double a, double b) {
  return std::isnan(a) ? !std::isnan(b) : a > b;
}
bool below(double a, double b) {
  return std::isnan(b) ? !std::isnan(a) : a < b;
}

const char* entity(char c) {
  switch (c) {
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '&':
      return "&amp;";
    case '\'':
      return "&apos;";
    default:
      return nullptr;
  }
}

// Text as XML takes it: shown as every message shows it (control
// characters and bytes XML cannot hold as \xHH), then markup characters
// as entities, so the picture stays well-formed whatever the command line held.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : escapedText(text)) {
    if (const char* name = entity(c))
      out += name;
    else
      out += c;
  }
  return out;
}

// A title that fits the picture: the middle of a long one gives way.
std::string shortened(const std::string& title) {
  if (title.size() <= kLongestTitle) return title;
  size_t keep = (kLongestTitle - 3) / 2;
  size_t head = keep, tail = title.size() - keep;
  // Never cut inside a UTF-8 sequence.
  while (head > 0 && (static_cast<unsigned char>(title[head]) & 0xC0) == 0x80) --head;
  while (tail < title.size() && (static_cast<unsigned char>(title[tail]) & 0xC0) == 0x80) ++tail;
  return title.substr(0, head) + "..." + title.substr(tail);
}

struct Axis {  // a value range mapped onto a pixel range
  double v0, v1, p0, p1;
  double at(double v) const { return p0 + (v - v0) / (v1 - v0) * (p1 - p0); }
  // A value past either end is drawn at that end; NaN at the upper one.
  double clippedAt(double v) const {
    return at(below(v, std::min(v0, v1))   ? std::min(v0, v1)
              : above(v, std::max(v0, v1)) ? std::max(v0, v1)
                                           : v);
  }
};

// The volts labelled on a panel: every volt, or every 2.5 V on a panel
// widened for values far from the band; either way both ends of the band.
std::vector<double> voltTicks(const Axis& volts) {
  const double step = volts.v1 - volts.v0 <= 7 ? 1.0 : 2.5;
  std::vector<double> values;
  for (double k = std::ceil(volts.v0 / step); k * step <= volts.v1; ++k) values.push_back(k * step);
  return values;
}

// The panels' time: steps from 0, across the plotting width.
Axis panelTime(int64_t steps, double dt) {
  return {0.0, static_cast<double>(steps) * dt, kLeft, kWidth - kRight};
}

// Appends "x,y " without a string of its own: a long run's plot has
// thousands of points.
void appendPoint(std::string& out, double x, double y) {
  char text[80];
  int length = std::snprintf(text, sizeof text, "%.2f,%.2f ", x, y);
  out.append(text, length > 0 ? std::min<size_t>(static_cast<size_t>(length), sizeof text - 1) : 0);
}

// Appends the points of one envelope: its first level from the start of its
// first step, its extremes in the middle, its last level to the end of its
// last step.
void appendEnvelope(std::string& out, const StepEnvelope& e, const Axis& time, const Axis& volts,
                    double dt) {
  double t0 = time.at(static_cast<double>(e.firstStep) * dt);
  double t1 = time.at(static_cast<double>(e.lastStep + 1) * dt);
  double mid = (t0 + t1) / 2;
  appendPoint(out, t0, volts.clippedAt(e.first));
  if (e.firstStep != e.lastStep) {
    appendPoint(out, mid, volts.clippedAt(e.lowFirst ? e.low : e.high));
    appendPoint(out, mid, volts.clippedAt(e.lowFirst ? e.high : e.low));
  }
  appendPoint(out, t1, volts.clippedAt(e.last));
}

std::string voltsText(double value) {
  return format("%.3f V", value);
}

// What shutdown left, drawn past the run's last step: a cross where a refused
// zeroing write would have put the output, an arrow at a level held on, and a
// line of text.
std::string shutdownMarks(size_t channel, const ChannelFigures& end, const Axis& time,
                          const Axis& volts, double top) {
  const std::string id = "ao" + std::to_string(channel);
  std::string svg;
  if (end.zeroingRefused())
    svg += "<path class='refused-zeroing' id='" + id + "-refused-zeroing' stroke='" +
           kRefusedColour + "' stroke-width='2.5' d='M" + px(time.p1 - 5) + "," +
           px(volts.clippedAt(end.shutdown.requested) - 5) + "l10,10m0,-10l-10,10'/>\n";
  if (end.zeroed()) return svg;
  std::string text = "after shutdown: ";
  if (end.levelUnknown != nullptr) {
    text += std::string("level unknown (") + end.levelUnknown + ")";
  } else {
    svg += "<path class='held' id='" + id + "-held' fill='none' stroke='" + kColours[channel] +
           "' stroke-width='3' d='M" + px(time.p1) + "," + px(volts.clippedAt(end.finalVolts)) +
           "h12m-5,-4l5,4l-5,4'/>\n";
    text += "held at " + voltsText(end.finalVolts);
  }
  return svg + "<text class='after-shutdown' x='" + px(time.p1) + "' y='" + px(top - kNameRow) +
         "' text-anchor='end' fill='" + kColours[channel] + "'>" + text + "</text>\n";
}

// The panel's volts: the 0-5 V band with a margin, widened for the values
// within kFarthestBeyondBand of it; a value farther out widens nothing.
template <class Stretches>
Axis voltsAxis(const Stretches& stretches, double top) {
  const double lowest = kBandLow - kFarthestBeyondBand, highest = kBandHigh + kFarthestBeyondBand;
  double low = kBandLow - 0.5, high = kBandHigh + 0.5;
  for (const auto& s : stretches) {
    for (const StepEnvelope* e : {&s.output, &s.unfollowed}) {
      if (e->firstStep < 0) continue;
      if (e->low < low && e->low >= lowest) low = std::max(std::floor(e->low) - 0.5, lowest);
      if (e->high > high && e->high <= highest) high = std::min(std::ceil(e->high) + 0.5, highest);
    }
  }
  return {low, high, top + kPanel, top};
}

// Values past one edge of a panel, gathered over neighbouring stretches: the
// farthest one and where it was.
struct Excursion {
  double lastX = 0, farX = 0, far = 0;
  bool open = false;
};

// A chevron on the edge pointing out, and the farthest value beside it,
// just inside the edge: in the panel's margin beyond the band, which the
// output's own line never enters.
std::string excursionMark(const Excursion& e, bool above, const Axis& time, const Axis& volts,
                          const char* colour) {
  const double edge = volts.at(above ? volts.v1 : volts.v0);
  const double tip = above ? -6 : 6;
  const std::string text = label(e.far) + " V";
  const bool right =
      e.farX + kClipLabelGap + kCharWidth * static_cast<double>(text.size()) <= time.p1;
  return "<path d='M" + px(e.farX - 5) + "," + px(edge - tip + (above ? 1 : -1)) + "l5," + px(tip) +
         "l5," + px(-tip) + "' fill='none' stroke='" + colour +
         "' stroke-width='2'/>\n<text class='far' x='" +
         px(right ? e.farX + kClipLabelGap : e.farX - kClipLabelGap) + "' y='" +
         px(above ? edge + kClipLabelDepth - 1 : edge - 3) + "' text-anchor='" +
         (right ? "start" : "end") + "' fill='" + colour +
         "' stroke='white' stroke-width='5' stroke-linejoin='round' paint-order='stroke'>" + text +
         "</text>\n";
}

// Marks where a panel's lines were clipped, each with the farthest value.
template <class Stretches>
std::string clipMarks(const Stretches& stretches, size_t channel, const Axis& time,
                      const Axis& volts, double dt) {
  std::string marks;
  Excursion edges[2];  // below, above
  auto flush = [&](int side) {
    if (edges[side].open)
      marks += excursionMark(edges[side], side == 1, time, volts, kColours[channel]);
    edges[side].open = false;
  };
  for (const auto& s : stretches) {
    for (int side : {0, 1}) {
      // Where the level is unknown, only the requests are drawn: they are
      // clipped all the same.
      for (const StepEnvelope* e : {&s.output, &s.unfollowed}) {
        double value = side == 1 ? e->high : e->low;
        if (e->firstStep < 0 || !(side == 1 ? above(value, volts.v1) : below(value, volts.v0)))
          continue;
        double x = (time.at(static_cast<double>(e->firstStep) * dt) +
                    time.at(static_cast<double>(e->lastStep + 1) * dt)) /
                   2;
        Excursion& at = edges[side];
        if (at.open && x - at.lastX > kClipLabelWidth) flush(side);
        if (!at.open) at = {x, x, value, true};
        at.lastX = x;
        if (side == 1 ? above(value, at.far) : below(value, at.far)) {
          at.far = value;
          at.farX = x;
        }
      }
    }
  }
  flush(0);
  flush(1);
  if (marks.empty()) return marks;
  return "<g class='clipped' id='ao" + std::to_string(channel) + "-clipped'>\n" + marks + "</g>\n";
}

// One row per kind of line or mark; those a clean run cannot show are
// listed only when the picture has them.
std::string legend(bool missed, bool clipped, bool unknown,
                   const std::array<ChannelFigures, 2>& end) {
  bool refusedZeroing = end[0].zeroingRefused() || end[1].zeroingRefused();
  bool held = false;
  for (const ChannelFigures& channel : end)
    held = held || (!channel.zeroed() && channel.levelUnknown == nullptr);
  const double x = kWidth - kRight + 20, y = kTop + 10;
  std::string svg;
  int row = 0;
  auto add = [&](const std::string& symbol, const char* text) {
    svg += symbol + "<text x='" + px(x + 30) + "' y='" + px(y + 22 * row + 4) + "'>" + text +
           "</text>\n";
    ++row;
  };
  auto at = [&](double dy) { return px(y + 22 * row + dy); };
  for (int ch = 0; ch < 2; ++ch)
    add("<line x1='" + px(x) + "' x2='" + px(x + 24) + "' y1='" + at(0) + "' y2='" + at(0) +
            "' stroke='" + kColours[ch] + "' stroke-width='3'/>\n",
        ch == 0 ? "Dev1/ao0" : "Dev1/ao1");
  add("<rect x='" + px(x) + "' y='" + at(-6) + "' width='24' height='12' fill='#e8f4e8'/>\n",
      "0-5 V range");
  add("<rect x='" + px(x) + "' y='" + at(-2) + "' width='24' height='4' fill='" + kRefusedColour +
          "'/>\n",
      "refused writes");
  if (missed)
    add("<line x1='" + px(x) + "' x2='" + px(x + 24) + "' y1='" + at(0) + "' y2='" + at(0) +
            "' stroke='#555' stroke-dasharray='4,3'/>\n",
        "missed request");
  if (clipped)
    add("<path d='M" + px(x + 7) + "," + at(4) + "l5,-6l5,6' fill='none' stroke='#555' " +
            "stroke-width='2'/>\n",
        "off the scale");
  if (unknown)
    add("<rect x='" + px(x) + "' y='" + at(-6) + "' width='24' height='12' fill='" + kUnknownShade +
            "'/>\n",
        "level unknown");
  if (refusedZeroing)
    add("<path d='M" + px(x + 7) + "," + at(-5) + "l10,10m0,-10l-10,10' stroke='" + kRefusedColour +
            "' stroke-width='2.5'/>\n",
        "refused zeroing");
  if (held)
    add("<path d='M" + px(x) + "," + at(0) + "h20m-5,-4l5,4l-5,4' fill='none' stroke='#555' " +
            "stroke-width='3'/>\n",
        "held after end");
  return svg;
}

// The baseline of a line of text from x0 to x1 in the widest gap the
// channel's lines leave there, above or below them. A line is joined from
// one stretch to the next, so over any width it covers one range of heights.
template <class Stretches>
double clearRow(const Stretches& stretches, double x0, double x1, const Axis& time,
                const Axis& volts, double dt) {
  const double top = volts.p1, bottom = volts.p0;
  double high = bottom, low = top;  // pixels: high is the smaller
  for (const auto& s : stretches) {
    for (const StepEnvelope* e : {&s.output, &s.unfollowed}) {
      if (e->firstStep < 0 || time.at(static_cast<double>(e->lastStep + 1) * dt) < x0 - 1 ||
          time.at(static_cast<double>(e->firstStep) * dt) > x1 + 1)
        continue;
      high = std::min(high, volts.clippedAt(e->high));
      low = std::max(low, volts.clippedAt(e->low));
    }
  }
  if (high > low) return (top + bottom) / 2 + kTextHeight / 3;  // nothing drawn there
  // A value clipped at an edge has its label below or above that edge.
  if (high <= top) high = top + kClipLabelDepth;
  if (low >= bottom) low = bottom - kClipLabelDepth;
  const bool aboveLines = high - top >= bottom - low;
  const double gapTop = aboveLines ? top : low, gapBottom = aboveLines ? high : bottom;
  return (gapTop + gapBottom) / 2 + kTextHeight / 3;
}

// The spans of steps whose level is unknown, shaded over the panel's height
// and the first one wide enough captioned. A level once known stays known
// (the card keeps it), so a run has one such span per channel at most, at
// its start; spans are joined where they meet all the same.
template <class Stretches>
std::string unknownSpans(const Stretches& stretches, size_t channel, const Axis& time,
                         const Axis& volts, double dt) {
  const double top = volts.p1;
  std::string shade, caption;
  for (size_t i = 0; i < stretches.size(); ++i) {
    if (stretches[i].unknownFrom < 0) continue;
    int64_t from = stretches[i].unknownFrom, to = stretches[i].unknownTo;
    while (i + 1 < stretches.size() && stretches[i + 1].unknownFrom == to + 1)
      to = stretches[++i].unknownTo;
    double x0 = time.at(static_cast<double>(from) * dt);
    double x1 = time.at(static_cast<double>(to + 1) * dt);
    shade +=
        "M" + px(x0) + "," + px(top) + "H" + px(x1) + "V" + px(top + kPanel) + "H" + px(x0) + "z";
    const std::string text = "level unknown";
    const double half = static_cast<double>(text.size()) * kCharWidth / 2;
    if (caption.empty() && x1 - x0 >= 2 * half) {
      const double middle = (x0 + x1) / 2;
      caption = "<text class='unknown-caption' x='" + px(middle) + "' y='" +
                px(clearRow(stretches, middle - half, middle + half, time, volts, dt)) +
                "' text-anchor='middle' fill='#555'>" + text + "</text>\n";
    }
  }
  if (shade.empty()) return "";
  return "<path class='unknown' id='ao" + std::to_string(channel) + "-unknown' fill='" +
         kUnknownShade + "' d='" + shade + "'/>\n" + caption;
}

}  // namespace

void StepEnvelope::add(int64_t step, double value) {
  if (firstStep < 0) {
    firstStep = step;
    first = low = high = value;
  }
  if (below(value, low)) {
    low = value;
    lowFirst = false;
  }
  if (above(value, high)) {
    high = value;
    lowFirst = true;
  }
  last = value;
  lastStep = step;
}

bool plottableSpan(int64_t steps, double dt, double start) {
  return std::isfinite(start + static_cast<double>(steps) * dt);
}

SvgPlot::SvgPlot(int64_t steps, double dt, double start)
    : steps_(std::max<int64_t>(steps, 1)), dt_(dt), start_(start) {
  size_t count = static_cast<size_t>(std::min<int64_t>(steps_, kMostStretches));
  for (auto& channel : stretches_) channel.resize(count);
}

void SvgPlot::add(const StepRecord& step) {
  if (step.shutdown || step.step < 0 || step.step >= steps_) return;
  size_t index =
      static_cast<size_t>(step.step * static_cast<int64_t>(stretches_[0].size()) / steps_);
  for (size_t ch = 0; ch < 2; ++ch) {
    Stretch& s = stretches_[ch][index];
    // Where the level is unknown no write was accepted: nothing followed the request.
    if (step.known[ch]) {
      s.output.add(step.step, step.actual[ch]);
    } else {
      if (s.unknownFrom < 0) s.unknownFrom = step.step;
      s.unknownTo = step.step;
    }
    if (!step.known[ch] || step.writes[ch].requested != step.actual[ch])
      s.unfollowed.add(step.step, step.writes[ch].requested);
    if (step.writes[ch].written && step.writes[ch].status < 0) ++s.refused;
  }
}

bool SvgPlot::unknownAny() const {
  for (const auto& channel : stretches_)
    for (const Stretch& s : channel)
      if (s.unknownFrom >= 0) return true;
  return false;
}

bool SvgPlot::missedAny() const {
  for (const auto& channel : stretches_)
    for (const Stretch& s : channel)
      if (s.unfollowed.firstStep >= 0) return true;
  return false;
}

std::string SvgPlot::drawPanel(size_t channel, double top, const ChannelFigures& end) const {
  const std::vector<Stretch>& stretches = stretches_[channel];
  const Axis time = panelTime(steps_, dt_);
  const Axis volts = voltsAxis(stretches, top);
  std::string svg;
  svg += "<rect x='" + px(time.p0) + "' y='" + px(volts.at(kBandHigh)) + "' width='" +
         px(time.p1 - time.p0) + "' height='" + px(volts.at(kBandLow) - volts.at(kBandHigh)) +
         "' fill='#e8f4e8'/>\n";
  for (double v : voltTicks(volts)) {
    svg += "<line x1='" + px(time.p0) + "' x2='" + px(time.p1) + "' y1='" + px(volts.at(v)) +
           "' y2='" + px(volts.at(v)) + "' stroke='#ddd'/>\n";
    svg += "<text class='volts' x='" + px(time.p0 - 8) + "' y='" + px(volts.at(v) + 4) +
           "' text-anchor='end'>" + label(v) + "</text>\n";
  }
  svg += unknownSpans(stretches, channel, time, volts, dt_);
  svg += "<polyline points='" + px(time.p0) + "," + px(top) + " " + px(time.p0) + "," +
         px(top + kPanel) + " " + px(time.p1) + "," + px(top + kPanel) +
         "' fill='none' stroke='#333'/>\n";
  svg += "<text class='name' x='" + px(time.p0) + "' y='" + px(top - kNameRow) + "' fill='" +
         kColours[channel] + "'>Dev1/ao" + std::to_string(channel) + "</text>\n";
  // An output holds its level until the next write: each step is drawn as a
  // level held for dt; a stretch of many steps as its envelope. A request
  // the output missed is drawn the same way, broken where it was followed.
  std::string line, missed;
  std::vector<RefusedSpan> refused;
  int64_t missedUpTo = -2;
  for (const Stretch& s : stretches) {
    if (s.output.firstStep >= 0) appendEnvelope(line, s.output, time, volts, dt_);
    if (s.unfollowed.firstStep >= 0) {
      missed += s.unfollowed.firstStep == missedUpTo + 1 ? 'L' : 'M';
      appendEnvelope(missed, s.unfollowed, time, volts, dt_);
      missedUpTo = s.unfollowed.lastStep;
    }
    if (s.refused == 0) continue;
    const int64_t first = s.output.firstStep < 0 ? s.unknownFrom
                          : s.unknownFrom < 0    ? s.output.firstStep
                                                 : std::min(s.output.firstStep, s.unknownFrom);
    const int64_t last = std::max(s.output.lastStep, s.unknownTo);
    refused.push_back({time.at(static_cast<double>(first) * dt_),
                       time.at(static_cast<double>(last + 1) * dt_), s.refused});
  }
  const std::string id = "ao" + std::to_string(channel);
  svg += "<polyline class='series' id='" + id + "' fill='none' stroke='" + kColours[channel] +
         "' stroke-width='1.5' points='" + line + "'/>\n";
  if (!missed.empty())
    svg += "<path class='requested' id='" + id + "-requested' fill='none' stroke='" +
           kColours[channel] + "' stroke-dasharray='4,3' d='" + missed + "'/>\n";
  svg += refusalMarks(refused, time.p0, time.p1, top, id + "-refused", kRefusedColour);
  return svg + clipMarks(stretches, channel, time, volts, dt_) +
         shutdownMarks(channel, end, time, volts, top);
}

std::string SvgPlot::render(const std::string& title,
                            const std::array<ChannelFigures, 2>& end) const {
  std::string svg = "<?xml version='1.0' encoding='UTF-8'?>\n";
  svg += "<svg xmlns='http://www.w3.org/2000/svg' width='" + px(kWidth) + "' height='" +
         px(kHeight) + "' viewBox='0 0 " + px(kWidth) + " " + px(kHeight) +
         "' font-family='sans-serif' font-size='12'>\n";
  svg += "<rect width='100%' height='100%' fill='white'/>\n";
  svg += "<text x='" + px(kLeft) + "' y='28' font-size='16'>" + escaped(shortened(title)) +
         "</text>\n";
  double tops[2] = {kTop, kTop + kPanel + kGap};
  bool clipped = false;
  for (size_t ch = 0; ch < 2; ++ch) {
    std::string panel = drawPanel(ch, tops[ch], end[ch]);
    clipped = clipped || panel.find("class='clipped'") != std::string::npos;
    svg += panel;
  }
  // The panels place steps from 0; the axis is labelled with the run's times.
  const Axis time = panelTime(steps_, dt_);
  const double axisY = tops[1] + kPanel;
  const TimeAxisLabels axis = timeAxisLabels(start_, time.v1, time.p1 - time.p0);
  for (const TimeTick& tick : axis.ticks) {
    const std::string x = px(time.at(tick.offset));
    for (double top : tops)
      svg += "<line class='tick' x1='" + x + "' x2='" + x + "' y1='" + px(top + kPanel) + "' y2='" +
             px(top + kPanel + 5) + "' stroke='#333'/>\n";
    svg += "<text class='time' x='" + x + "' y='" + px(axisY + 20) + "' text-anchor='middle'>" +
           tick.label + "</text>\n";
  }
  svg += "<text class='time-title' x='" + px((time.p0 + time.p1) / 2) + "' y='" + px(kHeight - 15) +
         "' text-anchor='middle'>" + axis.title + "</text>\n";
  svg += "<text transform='translate(20," + px((kTop + axisY) / 2) +
         ") rotate(-90)' text-anchor='middle'>output (V)</text>\n";
  return svg + legend(missedAny(), clipped, unknownAny(), end) + "</svg>\n";
}

}  // namespace sim
