// What the user is told when the card refuses something: whole runs through
// the loaded module against a card that fails in one way each, checked
// against the warnings the host was given, word for word and in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/loaded_module.h"

namespace e2e {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Another program's running task on Dev1/ao1, as a test panel left open.
void reserveAo1() {
  TaskHandle task = 0;
  DAQmxCreateTask("", &task);
  DAQmxCreateAOVoltageChan(task, "Dev1/ao1", "", 0.0, 5.0, DAQmx_Val_Volts, nullptr);
  ASSERT_EQ(DAQmxStartTask(task), SIMCARD_OK);
}

struct Case {
  const char* name;
  void (*arrange)();                         // the card's fault, before set-up
  std::vector<std::array<double, 2>> input;  // one row per step; the last repeats
  int steps;
  std::vector<std::string> warnings;  // without the "block 'model/twinvolts': " prefix
  std::array<double, 2> finalVolts;
  // When given: an earlier set-up, then this, before the run's own set-up.
  void (*afterEarlierSetUp)() = nullptr;
};

std::vector<std::string> noCardWarnings(const char* count) {
  return {
      "Dev1/ao0: the driver refused to add the voltage channel to the task (status -200220); "
      "the output will not follow the input until the next set-up",
      "Dev1/ao1: the driver refused to add the voltage channel to the task (status -200220); "
      "the output will not follow the input until the next set-up",
      "Dev1/ao0: the driver refused the write of 1 V at step 1 (status -200220); the output "
      "keeps its previous level",
      "Dev1/ao1: the driver refused the write of 2 V at step 1 (status -200220); the output "
      "keeps its previous level",
      std::string("Dev1/ao0: ") + count + " of " + count +
          " writes were refused; the first at step 1 (status -200220)",
      "Dev1/ao0: the driver refused the write of 0 V at shutdown (status -200220); the output "
      "may still hold its last level",
      std::string("Dev1/ao1: ") + count + " of " + count +
          " writes were refused; the first at step 1 (status -200220)",
      "Dev1/ao1: the driver refused the write of 0 V at shutdown (status -200220); the output "
      "may still hold its last level",
  };
}

std::vector<std::string> withReleaseRefused(std::vector<std::string> warnings) {
  for (const char* channel : {"Dev1/ao1", "Dev1/ao0"}) {
    warnings.insert(warnings.begin(), std::string(channel) +
                                          ": the driver refused to stop the earlier task "
                                          "(status -200088); the channel may stay reserved");
  }
  return warnings;
}

const Case kCases[] = {
    {"CleanRun", [] {}, {{1.25, 4.5}, {0.0, 5.0}}, 3, {}, {0.0, 0.0}},
    {"PositiveStatusesAreTheDriversOwn",
     [] { simcardSetWarnOnSuccess(true); },
     {{1.0, 2.0}},
     3,
     {},
     {0.0, 0.0}},
    {"NoCard", [] { simcardSetPresent(false); }, {{1.0, 2.0}}, 3, noCardWarnings("3"), {0.0, 0.0}},
    // Ten thousand times the warnings a flood would give: still eight.
    {"HundredThousandRefusedSteps",
     [] { simcardSetPresent(false); },
     {{1.0, 2.0}},
     100000,
     noCardWarnings("100000"),
     {0.0, 0.0}},
    {"OutOfRangeOnOneChannel",
     [] {},
     {{1.0, 2.0}, {5.000000000000001, 2.0}, {-0.5, 3.0}, {4.0, 4.0}},
     4,
     {"Dev1/ao0: the driver refused the write of 5.000000000000001 V at step 2 (status -200561); "
      "the output keeps its previous level",
      "Dev1/ao0: 2 of 4 writes were refused; the first at step 2 (status -200561)"},
     {0.0, 0.0}},
    {"NotFinite",
     [] {},
     {{1.0, kNaN}, {1.0, -kInf}},
     2,
     {"Dev1/ao1: the driver refused the write of NaN at step 1 (status -200561); the output "
      "keeps its previous level",
      "Dev1/ao1: 2 of 2 writes were refused; the first at step 1 (status -200561)"},
     {0.0, 0.0}},
    {"FailsPartWayAndRecovers",
     [] { simcardFailWriteAt(3); },  // ao0 at step 2
     {{1.0, 2.0}, {3.0, 4.0}, {2.0, 1.0}},
     3,
     {"Dev1/ao0: the driver refused the write of 3 V at step 2 (status -201003); the output "
      "keeps its previous level",
      "Dev1/ao0: 1 of 3 writes were refused; the first at step 2 (status -201003)"},
     {0.0, 0.0}},
    {"RefusedZeroingWrite",
     [] { simcardFailWriteAt(6); },  // ao1's write of 0 V at shutdown
     {{1.5, 2.5}},
     2,
     {"Dev1/ao1: the driver refused the write of 0 V at shutdown (status -201003); the output "
      "may still hold its last level"},
     {0.0, 2.5}},
    {"ChannelReservedByAnotherTask",
     reserveAo1,
     {{1.0, 2.0}},
     2,
     {"Dev1/ao1: the driver refused to start the task (status -50103); the output will not "
      "follow the input until the next set-up",
      "Dev1/ao1: the driver refused the write of 2 V at step 1 (status -200846); the output "
      "keeps its previous level",
      "Dev1/ao1: 2 of 2 writes were refused; the first at step 1 (status -200846)",
      "Dev1/ao1: the driver refused the write of 0 V at shutdown (status -200846); the output "
      "may still hold its last level"},
     {0.0, 0.0}},
    // The earlier pair gone behind the block's back and the card unplugged:
    // the refused release must not hide the refused opening.
    {"SecondSetUpOnACardRefusingEverything",
     [] {},
     {{1.0, 2.0}},
     3,
     withReleaseRefused(noCardWarnings("3")),
     {0.0, 0.0},
     [] {
       DAQmxClearTask(1);
       DAQmxClearTask(2);
       simcardSetPresent(false);
     }},
};

class DriverFailuresTest : public LoadedModuleTest, public ::testing::WithParamInterface<Case> {
 protected:
  // Every call of the run must return normally with nothing in the error slot.
  static void call(standin::BlockSession& block, int flag) {
    ASSERT_TRUE(block.methodKeepingError(flag)) << standinLastError();
    SFcnRecord* root = block.record()->rootRecord;
    ASSERT_EQ(root->errorMessage, nullptr) << root->errorMessage;
  }
};

TEST_P(DriverFailuresTest, WarnsOncePerChannelAndKindAndRunsToTheEnd) {
  const Case& c = GetParam();
  c.arrange();
  if (HasFatalFailure()) return;
  standin::BlockSession& block = session();
  double input[2] = {0.0, 0.0};
  if (c.afterEarlierSetUp != nullptr) {
    ASSERT_TRUE(block.setUp()) << block.error();
    c.afterEarlierSetUp();
  }
  ASSERT_TRUE(block.setUp()) << block.error();
  standinConnectInput(block.record(), 0, input);
  call(block, kFlagSampleTimes);
  for (int k = 0; k < c.steps && !HasFatalFailure(); ++k) {
    const std::array<double, 2>& row = c.input[std::min<size_t>(k, c.input.size() - 1)];
    input[0] = row[0];
    input[1] = row[1];
    call(block, kFlagOutputs);
  }
  call(block, kFlagTerminate);
  if (HasFatalFailure()) return;

  std::vector<std::string> warnings;
  for (size_t i = 0; i < standinWarningCount(); ++i) warnings.push_back(standinWarning(i));
  std::vector<std::string> expected;
  for (const std::string& text : c.warnings) expected.push_back("block 'model/twinvolts': " + text);
  EXPECT_EQ(warnings, expected);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(standinBreachCount(), 0u);
  EXPECT_EQ(simcardOutputVolts(0), c.finalVolts[0]);
  EXPECT_EQ(simcardOutputVolts(1), c.finalVolts[1]);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u) << "the block's task must be released";
}

INSTANTIATE_TEST_SUITE_P(Card, DriverFailuresTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

// Each complete set-up starts a new count: a second simulation is told again
// about a card that is still missing, and a repeated shutdown has nothing new
// to say.
using SimulationsTest = LoadedModuleTest;

TEST_F(SimulationsTest, EachSimulationIsToldOnce) {
  simcardSetPresent(false);
  standin::BlockSession& block = session();
  double input[2] = {1.0, 2.0};
  for (size_t run = 1; run <= 2; ++run) {
    ASSERT_TRUE(block.setUp()) << block.error();
    ASSERT_TRUE(standinConnectInput(block.record(), 0, input));
    ASSERT_TRUE(block.methodKeepingError(kFlagOutputs));
    ASSERT_TRUE(block.methodKeepingError(kFlagTerminate));
    ASSERT_TRUE(block.methodKeepingError(kFlagTerminate));
    EXPECT_EQ(standinWarningCount(), 8u * run) << "run " << run;
  }
}

}  // namespace
}  // namespace e2e
