#include "sim/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/utf8_text.h"

namespace sim {
namespace {

constexpr size_t kMostStretches = 2000;
constexpr double kWidth = 800, kHeight = 520;
constexpr double kLeft = 70, kRight = 150, kTop = 50, kPanel = 180, kGap = 40;
constexpr double kBandLow = 0.0, kBandHigh = 5.0;
constexpr size_t kLongestTitle = 80;
const char* const kColours[2] = {"#1f77b4", "#d62728"};
const char* const kRefusedColour = "#ff7f0e";

std::string format(const char* pattern, double a) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a);
  return text;
}

std::string px(double value) {
  return format("%.2f", value);
}

std::string label(double value) {
  if (std::fabs(value) < 1e-300) value = 0.0;  // no "-0" on an axis
  return format("%.4g", value);
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

// Text as XML takes it: markup characters as entities, control bytes as
// blanks, and bytes XML cannot hold (not UTF-8, U+FFFE, U+FFFF) shown as
// \xHH, so the picture stays well-formed whatever the command line held.
std::string escaped(const std::string& text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    size_t length = utf8CharacterLength(text, at);
    bool notInXml =
        text.compare(at, 3, "\xEF\xBF\xBE") == 0 || text.compare(at, 3, "\xEF\xBF\xBF") == 0;
    if (entity(text[at]) != nullptr) {
      out += entity(text[at]);
    } else if (c < 0x20) {
      out += ' ';
    } else if (length == 0 || notInXml) {
      char shown[8];
      std::snprintf(shown, sizeof shown, "\\x%02X", c);
      out += shown;
      length = 1;
    } else {
      out.append(text, at, length);
    }
    at += length;
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

// A round tick spacing (1, 2 or 5 times a power of ten) giving at most about
// n ticks; 0 when the span is too small to divide.
double tickStep(double span, int n) {
  double raw = span / n;
  if (!(raw > 0.0) || !std::isfinite(raw)) return 0.0;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

struct Axis {  // a value range mapped onto a pixel range
  double v0, v1, p0, p1;
  double at(double v) const { return p0 + (v - v0) / (v1 - v0) * (p1 - p0); }
};

// Tick values of [v0, v1], counted by index so that no rounding can add one
// past the end or loop forever.
std::vector<double> ticks(double v0, double v1, int n) {
  std::vector<double> values;
  double step = tickStep(v1 - v0, n);
  if (step == 0.0) return {v0, v1};
  double first = std::ceil(v0 / step - 1e-9);
  for (int i = 0; i <= 2 * n + 1; ++i) {
    double value = (first + i) * step;
    if (value > v1 + step * 1e-9) break;
    values.push_back(std::min(value, v1));
  }
  return values;
}

}  // namespace

bool plottableSpan(int64_t steps, double dt) {
  return std::isfinite(static_cast<double>(steps) * dt);
}

SvgPlot::SvgPlot(int64_t steps, double dt) : steps_(std::max<int64_t>(steps, 1)), dt_(dt) {
  size_t count = static_cast<size_t>(std::min<int64_t>(steps_, kMostStretches));
  for (auto& channel : stretches_) channel.resize(count);
}

void SvgPlot::add(const StepRecord& step) {
  if (step.shutdown || step.step < 0 || step.step >= steps_) return;
  size_t index =
      static_cast<size_t>(step.step * static_cast<int64_t>(stretches_[0].size()) / steps_);
  for (size_t ch = 0; ch < 2; ++ch) {
    Stretch& s = stretches_[ch][index];
    double v = step.actual[ch];
    if (s.firstStep < 0) {
      s.firstStep = step.step;
      s.first = s.low = s.high = v;
    }
    if (v < s.low) {
      s.low = v;
      s.lowFirst = false;
    }
    if (v > s.high) {
      s.high = v;
      s.lowFirst = true;
    }
    s.last = v;
    s.lastStep = step.step;
    if (step.writes[ch].written && step.writes[ch].status < 0) ++s.refused;
  }
}

std::string SvgPlot::drawPanel(size_t channel, double top) const {
  const std::vector<Stretch>& stretches = stretches_[channel];
  double low = kBandLow - 0.5, high = kBandHigh + 0.5;
  for (const Stretch& s : stretches) {
    if (s.firstStep < 0 || !std::isfinite(s.low) || !std::isfinite(s.high)) continue;
    low = std::min(low, std::floor(s.low) - 0.5);
    high = std::max(high, std::ceil(s.high) + 0.5);
  }
  Axis time{0.0, static_cast<double>(steps_) * dt_, kLeft, kWidth - kRight};
  Axis volts{low, high, top + kPanel, top};
  std::string svg;
  svg += "<rect x='" + px(time.p0) + "' y='" + px(volts.at(kBandHigh)) + "' width='" +
         px(time.p1 - time.p0) + "' height='" + px(volts.at(kBandLow) - volts.at(kBandHigh)) +
         "' fill='#e8f4e8'/>\n";
  for (double v : ticks(low, high, 5)) {
    svg += "<line x1='" + px(time.p0) + "' x2='" + px(time.p1) + "' y1='" + px(volts.at(v)) +
           "' y2='" + px(volts.at(v)) + "' stroke='#ddd'/>\n";
    svg += "<text x='" + px(time.p0 - 8) + "' y='" + px(volts.at(v) + 4) + "' text-anchor='end'>" +
           label(v) + "</text>\n";
  }
  svg += "<polyline points='" + px(time.p0) + "," + px(top) + " " + px(time.p0) + "," +
         px(top + kPanel) + " " + px(time.p1) + "," + px(top + kPanel) +
         "' fill='none' stroke='#333'/>\n";
  svg += "<text x='" + px(time.p0 + 6) + "' y='" + px(top + 14) + "' fill='" + kColours[channel] +
         "'>Dev1/ao" + std::to_string(channel) + "</text>\n";
  // An output holds its level until the next write: each step is drawn as a
  // level held for dt; a stretch of many steps as its envelope.
  std::string line, marks;
  for (const Stretch& s : stretches) {
    if (s.firstStep < 0) continue;
    double t0 = time.at(static_cast<double>(s.firstStep) * dt_);
    double t1 = time.at(static_cast<double>(s.lastStep + 1) * dt_);
    double mid = (t0 + t1) / 2;
    line += px(t0) + "," + px(volts.at(s.first)) + " ";
    if (s.firstStep != s.lastStep) {
      double a = s.lowFirst ? s.low : s.high, b = s.lowFirst ? s.high : s.low;
      line += px(mid) + "," + px(volts.at(a)) + " " + px(mid) + "," + px(volts.at(b)) + " ";
    }
    line += px(t1) + "," + px(volts.at(s.last)) + " ";
    if (s.refused > 0) marks += "M" + px(mid) + "," + px(top + 2) + "l-4,-7h8z";
  }
  svg += "<polyline class='series' id='ao" + std::to_string(channel) + "' fill='none' stroke='" +
         kColours[channel] + "' stroke-width='1.5' points='" + line + "'/>\n";
  if (!marks.empty())
    svg += "<path class='refused' id='ao" + std::to_string(channel) + "-refused' fill='" +
           kRefusedColour + "' d='" + marks + "'/>\n";
  return svg;
}

std::string SvgPlot::render(const std::string& title) const {
  std::string svg = "<?xml version='1.0' encoding='UTF-8'?>\n";
  svg += "<svg xmlns='http://www.w3.org/2000/svg' width='" + px(kWidth) + "' height='" +
         px(kHeight) + "' viewBox='0 0 " + px(kWidth) + " " + px(kHeight) +
         "' font-family='sans-serif' font-size='12'>\n";
  svg += "<rect width='100%' height='100%' fill='white'/>\n";
  svg += "<text x='" + px(kLeft) + "' y='28' font-size='16'>" + escaped(shortened(title)) +
         "</text>\n";
  double tops[2] = {kTop, kTop + kPanel + kGap};
  for (size_t ch = 0; ch < 2; ++ch) svg += drawPanel(ch, tops[ch]);
  Axis time{0.0, static_cast<double>(steps_) * dt_, kLeft, kWidth - kRight};
  double axisY = tops[1] + kPanel;
  for (double t : ticks(time.v0, time.v1, 8)) {
    for (double top : tops)
      svg += "<line class='tick' x1='" + px(time.at(t)) + "' x2='" + px(time.at(t)) + "' y1='" +
             px(top + kPanel) + "' y2='" + px(top + kPanel + 5) + "' stroke='#333'/>\n";
    svg += "<text x='" + px(time.at(t)) + "' y='" + px(axisY + 20) + "' text-anchor='middle'>" +
           label(t) + "</text>\n";
  }
  svg += "<text x='" + px((time.p0 + time.p1) / 2) + "' y='" + px(kHeight - 15) +
         "' text-anchor='middle'>time (s)</text>\n";
  svg += "<text transform='translate(20," + px((kTop + axisY) / 2) +
         ") rotate(-90)' text-anchor='middle'>output (V)</text>\n";
  double x = kWidth - kRight + 20, y = kTop + 10;
  const char* labels[4] = {"Dev1/ao0", "Dev1/ao1", "0-5 V range", "refused write"};
  for (int i = 0; i < 4; ++i) {
    std::string row = px(y + 22 * i);
    std::string mid = px(y + 22 * i - 6);
    if (i < 2)
      svg += "<line x1='" + px(x) + "' x2='" + px(x + 24) + "' y1='" + row + "' y2='" + row +
             "' stroke='" + kColours[i] + "' stroke-width='3'/>\n";
    else if (i == 2)
      svg += "<rect x='" + px(x) + "' y='" + mid + "' width='24' height='12' fill='#e8f4e8'/>\n";
    else
      svg += "<path d='M" + px(x + 12) + "," + px(y + 22 * i + 5) + "l-5,-9h10z' fill='" +
             kRefusedColour + "'/>\n";
    svg += "<text x='" + px(x + 30) + "' y='" + px(y + 22 * i + 4) + "'>" + labels[i] + "</text>\n";
  }
  return svg + "</svg>\n";
}

}  // namespace sim
