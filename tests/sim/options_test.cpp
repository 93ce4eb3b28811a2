// Command-line parsing of twinvolts-sim: every option's value, both spellings.
// Command lines that must be refused are in the command-line table
// (sim_cli_test.py), which also checks the exit status and the message.
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

TEST(SimOptions, TakesEveryOptionInBothSpellings) {
  sim::Options options;
  std::string error;
  ASSERT_TRUE(parse({"--block", "m/b", "--input=in.csv", "--dt", "5e-324", "--fail-write-at=3",
                     "--trace", "-", "--plot=p.svg", "--quiet", "--", "--odd-module-name.so"},
                    options, error))
      << error;
  EXPECT_EQ(options.modulePath, "--odd-module-name.so");
  EXPECT_EQ(options.blockPath, "m/b");
  EXPECT_EQ(options.inputPath, "in.csv");
  EXPECT_GT(options.dt, 0.0);  // a subnormal step is positive
  EXPECT_EQ(options.failWriteAt, 3);
  EXPECT_EQ(options.tracePath, "-");
  EXPECT_EQ(options.plotPath, "p.svg");
  EXPECT_TRUE(options.quiet);

  sim::Options more;
  ASSERT_TRUE(parse({"mod.so", "--steps", "2147483647", "--reserve", "Dev1/ao1"}, more, error))
      << error;
  EXPECT_EQ(more.modulePath, "mod.so");
  EXPECT_EQ(more.builtInSteps, 2147483647);
  EXPECT_EQ(more.reservedChannel, 1);

  sim::Options sizes;
  ASSERT_TRUE(parse({"--sizes", "--no-card"}, sizes, error)) << error;
  EXPECT_TRUE(sizes.sizesOnly);
  EXPECT_TRUE(sizes.noCard);
}

TEST(SimOptions, DefaultsMatchTheDefaultRun) {
  sim::Options options;
  std::string error;
  ASSERT_TRUE(parse({}, options, error));
  EXPECT_EQ(options.blockPath, "model/twinvolts");
  EXPECT_EQ(options.dt, 0.01);
  EXPECT_EQ(options.builtInSteps, 500);
  EXPECT_TRUE(options.modulePath.empty());
  EXPECT_EQ(options.reservedChannel, -1);
  EXPECT_FALSE(options.sizesOnly);
}

}  // namespace
