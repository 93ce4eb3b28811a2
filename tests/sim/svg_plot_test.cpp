// The plot's geometry: ticks on the time axis for any step size, the last
// step drawn with its width, refused writes and missed requests marked, long
// titles shortened.
#include "sim/svg_plot.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

constexpr double kAxisStart = 70, kAxisEnd = 650;  // pixels of the time axis

// ao1's write at refusedStep asks for 7.5 V and is refused.
std::string plot(int64_t steps, double dt, int64_t refusedStep = -1,
                 const std::string& title = "t") {
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
    if (k == refusedStep) step.writes[1].requested = 7.5;
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
