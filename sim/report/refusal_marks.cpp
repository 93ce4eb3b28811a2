#include "sim/report/refusal_marks.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

constexpr double kCharWidth = 7, kLabelSpace = 8;  // pixels, at the plot's font size
constexpr double kThinnest = 2;                    // a bar of one step stays visible
constexpr double kBarHeight = 4, kCountAbove = 8;
// Bars closer than this (pixels) would look like one: they are one span.
constexpr double kJoinGap = 3;

std::string px(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string countText(int64_t count) {
  return std::to_string(count) + " refused";
}

// A group of spans under one count, placed within the panel's width.
struct Group {
  double x0, x1;
  int64_t count;
  double width() const { return static_cast<double>(countText(count).size()) * kCharWidth; }
  double centre(double left, double right) const {
    return std::clamp((x0 + x1) / 2, left + width() / 2, std::max(left, right - width() / 2));
  }
};

// Spans grouped so that no two counts touch: a group whose count would reach
// into the one before joins it, and the joined group is checked again.
std::vector<Group> groups(const std::vector<RefusedSpan>& spans, double left, double right) {
  std::vector<Group> out;
  for (const RefusedSpan& span : spans) {
    out.push_back({span.x0, span.x1, span.count});
    while (out.size() >= 2) {
      Group& before = out[out.size() - 2];
      const Group& last = out.back();
      if (before.centre(left, right) + before.width() / 2 + kLabelSpace <=
          last.centre(left, right) - last.width() / 2)
        break;
      before.x1 = last.x1;
      before.count += last.count;
      out.pop_back();
    }
  }
  return out;
}

// Spans that touch, or nearly, joined into one with their counts summed: a
// run of refused steps is one span, however many stretches it came in.
std::vector<RefusedSpan> joined(const std::vector<RefusedSpan>& spans) {
  std::vector<RefusedSpan> out;
  for (const RefusedSpan& span : spans) {
    if (!out.empty() && span.x0 <= out.back().x1 + kJoinGap) {
      out.back().x1 = std::max(out.back().x1, span.x1);
      out.back().count += span.count;
    } else {
      out.push_back(span);
    }
  }
  return out;
}

}  // namespace

std::string refusalMarks(const std::vector<RefusedSpan>& spans, double left, double right,
                         double top, const std::string& id, const char* colour) {
  if (spans.empty()) return "";
  const std::vector<RefusedSpan> runs = joined(spans);
  std::string bars;
  for (const RefusedSpan& run : runs) {
    double middle = (run.x0 + run.x1) / 2, half = std::max(run.x1 - run.x0, kThinnest) / 2;
    bars += "M" + px(middle - half) + "," + px(top - kBarHeight - 1) + "H" + px(middle + half) +
            "v" + px(kBarHeight) + "H" + px(middle - half) + "z";
  }
  std::string svg =
      "<path class='refused' id='" + id + "' fill='" + colour + "' d='" + bars + "'/>\n";
  for (const Group& group : groups(runs, left, right))
    svg += "<text class='refused-count' x='" + px(group.centre(left, right)) + "' y='" +
           px(top - kCountAbove) + "' text-anchor='middle' fill='" + colour + "'>" +
           countText(group.count) + "</text>\n";
  return svg;
}

}  // namespace sim
