// The plot's geometry: ticks on the time axis for any step size, the last
// step drawn with its width, refused writes and missed requests marked, far
// values clipped with their value shown, long titles shortened.
#include "sim/report/svg_plot.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

constexpr double kAxisStart = 70, kAxisEnd = 650;  // pixels of the time axis
constexpr double kAo1Top = 270, kAo1Bottom = 450;  // pixels of ao1's panel

// ao1's write at refusedStep asks for the value given and is refused.
std::string plot(int64_t steps, double dt, int64_t refusedStep = -1, const std::string& title = "t",
                 double refusedValue = 7.5) {
  sim::SvgPlot svg(steps, dt);
  for (int64_t k = 0; k < steps; ++k) {
    sim::StepRecord step;
    step.step = k;
    step.time = static_cast<double>(k) * dt;
    step.actual = {static_cast<double>(k % 6), 5.0 - static_cast<double>(k % 6)};
    step.known = {true, true};
    for (size_t ch = 0; ch < 2; ++ch) step.writes[ch].requested = step.actual[ch];
    step.writes[1].written = true;
    step.writes[1].status = k == refusedStep ? -1 : 0;
    if (k == refusedStep) step.writes[1].requested = refusedValue;
    svg.add(step);
  }
  return svg.render(title, {});  // shutdown's marks are the program test's
}

TEST(SvgPlot, TicksStayOnTheAxisForStepsFromNanosecondsToDays) {
  for (double dt : {1e-9, 3.3e-7, 0.01, 0.7, 1e6}) {
    for (int64_t steps : {1, 7, 500, 3000}) {
      std::string svg = plot(steps, dt);
      std::regex tick("class='tick' x1='([-0-9.]+)'");
      int count = 0;
      for (std::sregex_iterator it(svg.begin(), svg.end(), tick), end; it != end; ++it, ++count) {
        double x = std::stod((*it)[1]);
        EXPECT_GE(x, kAxisStart - 0.01) << dt << " x " << steps;
        EXPECT_LE(x, kAxisEnd + 0.01) << dt << " x " << steps;
      }
      EXPECT_GE(count, 2 * 2) << dt << " x " << steps;  // both panels, at least two ticks
      EXPECT_LE(count, 2 * 12) << dt << " x " << steps;
    }
  }
}

TEST(SvgPlot, LastStepHasItsWidthAndRefusedWritesAreMarked) {
  for (int64_t steps : {5, 3000}) {
    std::string svg = plot(steps, 0.01, steps - 1);
    // std::regex recurses per character: too deep for a long run's points.
    size_t series = svg.find("id='ao0'");
    ASSERT_NE(series, std::string::npos);
    size_t end = svg.find(" '", svg.find("points='", series));
    std::string last = svg.substr(svg.rfind(' ', end - 1) + 1);
    EXPECT_EQ(std::stod(last), kAxisEnd) << last.substr(0, 20);
    EXPECT_EQ(svg.find("id='ao0-refused'"), std::string::npos);
    EXPECT_NE(svg.find("id='ao1-refused'"), std::string::npos);
    // The missed request is drawn, at its level (7.5 V stretches the axis to 8).
    EXPECT_EQ(svg.find("id='ao0-requested'"), std::string::npos);
    EXPECT_NE(svg.find("id='ao1-requested'"), std::string::npos);
    EXPECT_NE(svg.find(">8</text>"), std::string::npos);
  }
}

// Each row: ao1's refused request, the label of its value at the panel's
// edge (none: drawn at its level). The band keeps its share of the panel and
// no line leaves it.
TEST(SvgPlot, FarValuesAreClippedAtThePanelEdgeWithTheirValue) {
  const struct {
    double requested;
    const char* label;
  } rows[] = {{7.5, nullptr},   {8.0, nullptr},        {8.01, "8.01 V"},
              {1e6, "1e+06 V"}, {-1e300, "-1e+300 V"}, {-3.5, "-3.5 V"}};
  for (const auto& row : rows) {
    for (int64_t steps : {5, 3000}) {
      std::string svg = plot(steps, 0.01, steps / 2, "t", row.requested);
      // Both panels' bands, then the legend's swatch.
      std::regex band("height='([.0-9]+)' fill='#e8f4e8'");
      std::sregex_iterator bands(svg.begin(), svg.end(), band);
      for (int panel = 0; panel < 2; ++panel, ++bands)
        EXPECT_GE(std::stod((*bands)[1]), 180.0 * 5 / 11.5) << row.requested;
      size_t clipped = svg.find("id='ao1-clipped'");
      EXPECT_EQ(clipped != std::string::npos, row.label != nullptr) << row.requested;
      if (row.label != nullptr) {
        EXPECT_NE(svg.find(std::string(">") + row.label + "</text>", clipped), std::string::npos)
            << row.requested;
      }
      // Every point of ao1's lines lies in its panel.
      size_t from = svg.find("id='ao1'");
      size_t to = svg.find("<line class='tick'");
      std::string drawn = svg.substr(from, to - from);
      std::regex point("[' ML](-?\\d+\\.\\d\\d),(-?\\d+\\.\\d\\d)");
      for (std::sregex_iterator it(drawn.begin(), drawn.end(), point), end; it != end; ++it) {
        double y = std::stod((*it)[2]);
        EXPECT_GE(y, kAo1Top - 10) << row.requested << " " << (*it)[0];
        EXPECT_LE(y, kAo1Bottom + 10) << row.requested << " " << (*it)[0];
      }
    }
  }
}

TEST(SvgPlot, LongTitlesAreShortenedInTheMiddle) {
  std::string title = "twinvolts " + std::string(300, 'm') + "/end: card outputs";
  std::string svg = plot(3, 0.01, -1, title);
  std::smatch shown;
  ASSERT_TRUE(std::regex_search(svg, shown, std::regex("font-size='16'>([^<]*)<")));
  EXPECT_LE(shown[1].length(), 80);
  EXPECT_EQ(shown[1].str().rfind("twinvolts mmm", 0), 0u);
  EXPECT_NE(shown[1].str().find("...m"), std::string::npos);
  EXPECT_NE(shown[1].str().find("/end: card outputs"), std::string::npos);
}

}  // namespace
