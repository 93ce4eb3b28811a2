// The plot's geometry: a time axis labelled exactly for any start and span,
// the last step drawn with its width, refusals as spans with their count,
// far and non-finite values clipped with their value, labels clear of lines
// and of each other, titles shortened and shown safely.
#include "sim/report/svg_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr double kAxisStart = 70, kAxisEnd = 650;  // pixels of the time axis
constexpr double kAo1Top = 310, kAo1Bottom = 490;  // pixels of ao1's panel
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct PlotRun {
  int64_t steps = 5;
  double dt = 0.01;
  std::map<int64_t, double> refused{};  // ao1's refused writes: step, value asked for
  double start = 0.0;
  int64_t unknownSteps = 0;  // ao0's first steps, whose level is unknown
  std::array<sim::ChannelFigures, 2> end{};
  std::string title = "t";
};

// ao0 follows a sawtooth, ao1 the opposite one, but for the run's faults.
std::string plot(const PlotRun& run) {
  sim::SvgPlot svg(run.steps, run.dt, run.start);
  for (int64_t k = 0; k < run.steps; ++k) {
    sim::StepRecord step;
    step.step = k;
    step.actual = {static_cast<double>(k % 6), 5.0 - static_cast<double>(k % 6)};
    step.known = {k >= run.unknownSteps, true};
    for (size_t ch = 0; ch < 2; ++ch) step.writes[ch].requested = step.actual[ch];
    step.writes[1].written = true;
    auto refused = run.refused.find(k);
    step.writes[1].status = refused != run.refused.end() ? -1 : 0;
    if (refused != run.refused.end()) step.writes[1].requested = refused->second;
    svg.add(step);
  }
  return svg.render(run.title, run.end);
}

struct Text {  // a label, with its extent at about 6.5 pixels a character
  std::string kind;
  double x, y;
  std::string anchor, text;
  double left() const {
    double width = 6.5 * static_cast<double>(text.size());
    return x - (anchor == "middle" ? width / 2 : anchor == "end" ? width : 0);
  }
  double right() const { return left() + 6.5 * static_cast<double>(text.size()); }
};

std::vector<Text> texts(const std::string& svg, const std::string& kind = "") {
  std::regex text(
      "<text class='([-a-z]+)' x='([-.0-9]+)' y='([-.0-9]+)'"
      "(?: text-anchor='([a-z]+)')?[^>]*>([^<]*)<");
  std::vector<Text> found;
  for (std::sregex_iterator it(svg.begin(), svg.end(), text), end; it != end; ++it)
    if (kind.empty() || (*it)[1] == kind)
      found.push_back({(*it)[1], std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4], (*it)[5]});
  return found;
}

// Each row: a run's start, steps and step, its axis title, and its labels
// where the row spells them out. Ticks are a round step apart, and each
// label is distinct, exactly the time at its tick, and clear of the next.
TEST(SvgPlot, TimeAxisLabelsAreRoundDistinctAndExactAtTheirTicks) {
  const struct {
    double start;
    int64_t steps;
    double dt;
    const char* title;
    const char* labels;
  } rows[] = {
      {0, 500, 0.01, "time (s)", "0 1 2 3 4 5 "},
      {10, 2, 0.01, "time (s)", "10 10.005 10.01 10.015 10.02 "},
      {100, 500, 0.01, "time (s)", "100 101 102 103 104 105 "},
      {100, 2, 0.01, "time (s) from 100", "0 0.005 0.01 0.015 0.02 "},
      {12345.67, 500, 0.01, "time (s) from 12345.67", "0 1 2 3 4 5 "},
      {12345.67, 10, 1e6, "time (s)", nullptr},
      {0, 1000, 1e-9, "time (s)", nullptr},
      {0.5, 7, 3.3e-7, "time (s) from 0.5", nullptr},
      {0, 10, 1e6, "time (s)", nullptr},
      {-3, 3000, 0.7, "time (s)", nullptr},
      {0, 1, 0.01, "time (s)", nullptr},
      // Too short to divide: the start alone.
      {0, 1, 5e-324, "time (s)", "0 "},
      {1e-312, 2, 1e-312, "time (s)", "1e-312 "},
  };
  for (const auto& row : rows) {
    const double span = static_cast<double>(row.steps) * row.dt;
    std::string svg = plot({row.steps, row.dt, {}, row.start});
    std::vector<Text> labels = texts(svg, "time");
    std::string all;
    for (const Text& label : labels) all += label.text + " ";
    SCOPED_TRACE(std::to_string(row.start) + " + " + std::to_string(span) + ": " + all);
    EXPECT_EQ(texts(svg, "time-title").at(0).text, row.title);
    if (row.labels != nullptr) {
      EXPECT_EQ(all, row.labels);
      if (labels.size() == 1) continue;
    }
    ASSERT_GE(labels.size(), 3u);
    const double origin = std::string(row.title) == "time (s)" ? 0.0 : row.start;
    const double step = std::stod(labels[1].text) - std::stod(labels[0].text);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_NEAR(
        std::min({std::fabs(mantissa - 1), std::fabs(mantissa - 2), std::fabs(mantissa - 5)}), 0,
        1e-6);
    for (size_t i = 0; i < labels.size(); ++i) {
      double at = row.start + (labels[i].x - kAxisStart) / (kAxisEnd - kAxisStart) * span;
      EXPECT_NEAR(origin + std::stod(labels[i].text), at,
                  span * 2e-5 + 1e-12 * std::fabs(row.start));
      if (i == 0) continue;
      EXPECT_NEAR(std::stod(labels[i].text) - std::stod(labels[i - 1].text), step, step * 1e-9);
      EXPECT_LT(labels[i - 1].right(), labels[i].left());
    }
  }
}

TEST(SvgPlot, LastStepHasItsWidthAndMissedRequestsAreDrawn) {
  for (int64_t steps : {5, 3000}) {
    std::string svg = plot({steps, 0.01, {{steps - 1, 7.5}}});
    // std::regex recurses per character: too deep for a long run's points.
    size_t series = svg.find("id='ao0'");
    ASSERT_NE(series, std::string::npos);
    size_t end = svg.find(" '", svg.find("points='", series));
    std::string last = svg.substr(svg.rfind(' ', end - 1) + 1);
    EXPECT_EQ(std::stod(last), kAxisEnd) << last.substr(0, 20);
    // The missed request is drawn, at its level (7.5 V stretches the axis).
    EXPECT_EQ(svg.find("id='ao0-requested'"), std::string::npos);
    EXPECT_NE(svg.find("id='ao1-requested'"), std::string::npos);
    EXPECT_NE(svg.find(">7.5</text>"), std::string::npos);
  }
}

// Each row: ao1's refused requests, at steps one after the other, with the
// label each gets at the panel's edge (none: drawn at its level), and the
// label of the farthest. The band keeps its share of the panel, no line
// leaves it, each mark is labelled with the value at it, and no number in
// the picture is NaN or infinite.
TEST(SvgPlot, FarValuesAreClippedAtThePanelEdgeWithTheirValue) {
  const struct {
    std::vector<std::pair<double, const char*>> values;
    const char* farthest;
  } rows[] = {
      {{{7.5, nullptr}}, nullptr},
      {{{8.0, nullptr}}, nullptr},
      {{{8.01, "8.01 V"}}, "8.01 V"},
      {{{-1e300, "-1e+300 V"}}, "-1e+300 V"},
      {{{-3.5, "-3.5 V"}}, "-3.5 V"},
      {{{9, "9 V"}, {1e6, "1e+06 V"}}, "1e+06 V"},
      {{{1e6, "1e+06 V"}, {9, "9 V"}}, "1e+06 V"},
      {{{9, "9 V"}, {kNaN, "NaN V"}, {1e6, "1e+06 V"}}, "NaN V"},
      {{{kInf, "Inf V"}}, "Inf V"},
      {{{-kInf, "-Inf V"}}, "-Inf V"},
  };
  for (const auto& row : rows) {
    for (int64_t steps : {5, 500, 3000}) {
      const int64_t first = steps * 2 / 5 + 1;
      std::map<int64_t, double> refused;
      for (size_t i = 0; i < row.values.size(); ++i)
        refused[first + static_cast<int64_t>(i)] = row.values[i].first;
      std::string svg = plot({steps, 0.01, refused});
      SCOPED_TRACE(std::string(row.farthest ? row.farthest : "none") + " of " +
                   std::to_string(steps));
      // std::regex recurses per character: too deep for a long run's points.
      for (size_t at = svg.find("='"); at != std::string::npos; at = svg.find("='", at + 1)) {
        std::string value = svg.substr(at + 2, svg.find('\'', at + 2) - at - 2);
        EXPECT_EQ(value.find("nan"), std::string::npos) << value;
        EXPECT_EQ(value.find("inf"), std::string::npos) << value;
      }
      std::regex band("height='([.0-9]+)' fill='#e8f4e8'");  // both panels', then the legend's
      std::sregex_iterator bands(svg.begin(), svg.end(), band);
      for (int panel = 0; panel < 2; ++panel, ++bands)
        EXPECT_GE(std::stod((*bands)[1]), 180.0 * 5 / 12);
      size_t clipped = svg.find("id='ao1-clipped'");
      ASSERT_EQ(clipped != std::string::npos, row.farthest != nullptr);
      std::string marks =
          row.farthest ? svg.substr(clipped, svg.find("</g>", clipped) - clipped) : "";
      std::regex mark("<path d='M([.0-9]+),[^\n]*\n<text[^>]*>([^<]*)</text>");
      std::vector<std::string> labels;
      for (std::sregex_iterator it(marks.begin(), marks.end(), mark), end; it != end; ++it) {
        // The value of the step (or the stretch of steps) at the chevron's tip.
        double x = std::stod((*it)[1]) + 5, width = (kAxisEnd - kAxisStart) / steps;
        labels.push_back((*it)[2]);
        bool there = false;
        for (size_t i = 0; i < row.values.size(); ++i) {
          double at = kAxisStart + (static_cast<double>(first + i) + 0.5) * width;
          there =
              there || (std::fabs(at - x) < 0.6 * width && labels.back() == row.values[i].second);
        }
        EXPECT_TRUE(there) << labels.back() << " at " << x;
      }
      if (row.farthest != nullptr) {
        EXPECT_NE(std::find(labels.begin(), labels.end(), row.farthest), labels.end());
      }
      size_t from = svg.find("id='ao1'");  // every point of ao1's lines lies in its panel
      std::string drawn = svg.substr(from, svg.find("<line class='tick'") - from);
      std::regex point("[' ML](-?\\d+\\.\\d\\d),(-?\\d+\\.\\d\\d)");
      for (std::sregex_iterator it(drawn.begin(), drawn.end(), point), end; it != end; ++it) {
        EXPECT_GE(std::stod((*it)[2]), kAo1Top - 10) << (*it)[0];
        EXPECT_LE(std::stod((*it)[2]), kAo1Bottom + 10) << (*it)[0];
      }
    }
  }
}

// Each row: ao1's refused steps in a run of 500, and the counts shown over
// them: a run of refusals is one span, however long, and spans too close
// to count apart share a count.
TEST(SvgPlot, RefusedWritesAreSpansWithTheirCount) {
  std::map<int64_t, double> all, alternate;
  for (int64_t k = 0; k < 500; ++k) all[k] = 7.5;
  for (int64_t k = 1; k < 500; k += 2) alternate[k] = 7.5;
  const struct {
    std::map<int64_t, double> refused;
    const char* counts;
  } rows[] = {{all, "500 refused "},
              {alternate, "250 refused "},
              {{{10, 7.5}, {400, 7.5}}, "1 refused 1 refused "},
              {{{100, 7.5}, {105, 7.5}, {110, 7.5}}, "3 refused "},  // counts would overlap
              {{{100, 9}, {101, 1e6}}, "2 refused "},
              {{}, ""}};
  for (const auto& row : rows) {
    std::string counts;
    for (const Text& text : texts(plot({500, 0.01, row.refused}), "refused-count"))
      counts += text.text + " ";
    EXPECT_EQ(counts, row.counts);
  }
}

// Each row: a run whose labels crowd. No two labels overlap, the caption
// of an unknown level keeps off the requests, each panel labels 0 and 5 V,
// and the legend lists a level held after the end only where an arrow
// shows one.
TEST(SvgPlot, LabelsKeepClearOfLinesAndOfEachOther) {
  std::map<int64_t, double> alternate;
  for (int64_t k = 1; k < 500; k += 2) alternate[k] = k == 101 ? 1e6 : 7.5;
  sim::ChannelFigures zeroed, held, noCard, reserved;
  zeroed.shutdown = {true, 0, 0.0};
  held.finalVolts = 2.5;
  noCard.levelUnknown = "no card";
  reserved.shutdown = {true, -200846, 0.0};
  reserved.levelUnknown = "held by another task";
  const PlotRun rows[] = {
      {500, 0.01, {}, 0.0, 0, {zeroed, zeroed}},
      {500, 0.01, {}, 0.0, 500, {reserved, zeroed}},
      {500, 0.01, {}, 0.0, 100, {noCard, held}},
      {500, 0.01, alternate, 12345.67, 0, {held, noCard}},
      {3000, 0.01, {{1500, -1e6}}, 0.0, 2999, {noCard, noCard}},
  };
  for (const PlotRun& row : rows) {
    std::string svg = plot(row);
    std::vector<Text> shown = texts(svg);
    SCOPED_TRACE(std::to_string(row.unknownSteps) + " unknown");
    for (size_t i = 0; i < shown.size(); ++i)
      for (size_t j = i + 1; j < shown.size(); ++j)
        EXPECT_FALSE(std::fabs(shown[i].y - shown[j].y) < 12 &&
                     shown[i].left() < shown[j].right() && shown[j].left() < shown[i].right())
            << shown[i].text << " / " << shown[j].text;
    int ends = 0;  // of the band, on both panels
    for (const Text& text : texts(svg, "volts")) ends += text.text == "0" || text.text == "5";
    EXPECT_EQ(ends, 4);
    EXPECT_EQ(svg.find("class='held'") != std::string::npos,
              svg.find(">held after end<") != std::string::npos);
    // ao0's requests span 0-5 V in any caption's width: it must lie in the
    // margin above 5 V (y 89) or below 0 V (y 239).
    for (const Text& caption : texts(svg, "unknown-caption"))
      EXPECT_TRUE(caption.y + 2 <= 89 || caption.y - 10 >= 239) << caption.y;
  }
}

// Each row: a block path, and the title showing it: its middle given way
// when long, what XML cannot hold (U+FFFE, control characters) as bytes.
TEST(SvgPlot, TitlesAreShortenedAndShownSafely) {
  const struct {
    std::string title, shown;
  } rows[] = {
      {"twinvolts " + std::string(300, 'm') + "/end: card outputs",
       "twinvolts " + std::string(28, 'm') + "..." + std::string(20, 'm') + "/end: card outputs"},
      {"model/a\xEF\xBF\xBE"
       "b <&>",
       "model/a\\xEF\\xBF\\xBEb &lt;&amp;&gt;"},
      {"m\xC3\xB6"
       "del/\x1B[2J",
       "m\xC3\xB6"
       "del/\\x1B[2J"},
  };
  for (const auto& row : rows) {
    std::string svg = plot({3, 0.01, {}, 0.0, 0, {}, row.title});
    std::smatch shown;
    ASSERT_TRUE(std::regex_search(svg, shown, std::regex("font-size='16'>([^<]*)<")));
    EXPECT_EQ(shown[1], row.shown);
  }
}

}  // namespace
