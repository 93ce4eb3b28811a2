// Reading the input of a simulated run: CSV rows, headers, malformed lines.
#include "sim/input_signal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class CsvFile {
 public:
  explicit CsvFile(const std::string& text) : path_(testing::TempDir() + "twinvolts_input.csv") {
    std::ofstream(path_) << text;
  }
  ~CsvFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct ReadOutcome {
  bool ok;
  sim::InputSignal signal;
  std::string error;
};

ReadOutcome read(const std::string& text) {
  CsvFile file(text);
  ReadOutcome outcome;
  outcome.ok = sim::readInputCsv(file.path(), outcome.signal, outcome.error);
  return outcome;
}

TEST(InputCsv, ReadsRowsWithAndWithoutHeader) {
  for (const char* text : {"ao0,ao1\n1.5,2\n0, 4.25\r\n", "1.5,2\n\n0,4.25\n",
                           "\xEF\xBB\xBF"
                           "1.5,2\n0,4.25\n"}) {
    ReadOutcome outcome = read(text);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    ASSERT_EQ(outcome.signal.steps.size(), 2u);
    EXPECT_EQ(outcome.signal.steps[0][0], 1.5);
    EXPECT_EQ(outcome.signal.steps[0][1], 2.0);
    EXPECT_EQ(outcome.signal.steps[1][1], 4.25);
  }
}

TEST(InputCsv, NamesTheLineOfAMalformedRow) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"1,2\n3\n", ":2: expected 2 columns of volts, found 1"},
      {"1,2\n3,4,5\n", ":2: expected 2 columns of volts, found 3"},
      {"1,2\n3,x\n", ":2: not a number of volts: '3,x'"},
      {"a,b\n1,2\n\nc,d\n", ":4: not a number of volts"},
      {"1,2\n4,nan\n", ":2: not a number of volts"},
      {"1,\n", ":1: not a number of volts"},
  };
  for (const Case& c : cases) {
    ReadOutcome outcome = read(c.text);
    EXPECT_FALSE(outcome.ok) << c.text;
    EXPECT_NE(outcome.error.find(c.expected), std::string::npos) << outcome.error;
  }
}

TEST(InputCsv, RefusesMissingAndEmptyFiles) {
  sim::InputSignal signal;
  std::string error;
  EXPECT_FALSE(sim::readInputCsv(testing::TempDir() + "no/such/file.csv", signal, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
  ReadOutcome header = read("ao0,ao1\n");
  EXPECT_FALSE(header.ok);
  EXPECT_NE(header.error.find("no rows"), std::string::npos);
}

TEST(BuiltInWaveforms, SineAndRampStayWithinTheCardsRange) {
  sim::InputSignal signal = sim::builtInWaveforms(500);
  ASSERT_EQ(signal.steps.size(), 500u);
  double sineMin = 5, sineMax = 0;
  for (const sim::StepInput& step : signal.steps) {
    EXPECT_GE(step[0], 0.0);
    EXPECT_LE(step[0], 5.0);
    sineMin = std::min(sineMin, step[0]);
    sineMax = std::max(sineMax, step[0]);
  }
  EXPECT_NEAR(sineMin, 0.0, 1e-3);
  EXPECT_NEAR(sineMax, 5.0, 1e-3);
  EXPECT_EQ(signal.steps.front()[1], 0.0);
  EXPECT_EQ(signal.steps.back()[1], 5.0);
  EXPECT_EQ(sim::builtInWaveforms(1).steps.size(), 1u);
}

}  // namespace
