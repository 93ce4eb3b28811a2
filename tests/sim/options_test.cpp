// Command-line parsing of twinvolts-sim: values, defaults and refusals.
#include "sim/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool parse(std::vector<std::string> words, sim::Options& options, std::string& error) {
  words.insert(words.begin(), "twinvolts-sim");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  return sim::parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(SimOptions, TakesEveryOption) {
  sim::Options options;
  std::string error;
  ASSERT_TRUE(parse({"mod.so", "--block", "m/b", "--input", "in.csv", "--dt", "0.5", "--steps", "7",
                     "--no-card", "--fail-write-at", "3", "--trace", "t.csv", "--plot", "p.svg"},
                    options, error))
      << error;
  EXPECT_EQ(options.modulePath, "mod.so");
  EXPECT_EQ(options.blockPath, "m/b");
  EXPECT_EQ(options.inputPath, "in.csv");
  EXPECT_EQ(options.dt, 0.5);
  EXPECT_EQ(options.builtInSteps, 7);
  EXPECT_TRUE(options.noCard);
  EXPECT_EQ(options.failWriteAt, 3);
  EXPECT_EQ(options.tracePath, "t.csv");
  EXPECT_EQ(options.plotPath, "p.svg");
}

TEST(SimOptions, DefaultsMatchTheDefaultRun) {
  sim::Options options;
  std::string error;
  ASSERT_TRUE(parse({}, options, error));
  EXPECT_EQ(options.blockPath, "model/twinvolts");
  EXPECT_EQ(options.dt, 0.01);
  EXPECT_EQ(options.builtInSteps, 500);
  EXPECT_TRUE(options.modulePath.empty());
  EXPECT_FALSE(options.sizesOnly);
}

TEST(SimOptions, RefusesBadOptionsWithAReason) {
  struct Case {
    std::vector<std::string> words;
    const char* expected;
  } cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--dt"}, "option --dt needs a value"},
      {{"--dt", "0"}, "positive number"},
      {{"--dt", "fast"}, "positive number"},
      {{"--steps", "-4"}, "step count"},
      {{"--steps", "1000001"}, "step count from 1 to 1000000"},
      {{"--fail-write-at", "0"}, "write number"},
      {{"a.so", "b.so"}, "unknown option 'b.so'"},
  };
  for (const Case& c : cases) {
    sim::Options options;
    std::string error;
    EXPECT_FALSE(parse(c.words, options, error)) << c.expected;
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
  }
}

}  // namespace
