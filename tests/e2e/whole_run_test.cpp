// Whole simulated runs through the loaded module: set-up, sample times, a
// thousand output steps with a changing input, and shutdown, checked against
// what the simulated card saw.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/loaded_module.h"

namespace e2e {
namespace {

constexpr int kSteps = 1000;

// Input of step k, inside the channels' 0 V to 5 V and different every step.
std::array<double, 2> inputAt(int k) {
  return {2.5 + 2.0 * std::sin(0.05 * k), 5.0 * k / (kSteps - 1)};
}

class WholeRunTest : public LoadedModuleTest {
 protected:
  // The host's side of a run on the block's record; every call must leave no error.
  void run(standin::BlockSession& block, int steps) {
    ASSERT_TRUE(block.setUp()) << block.error();
    SFcnRecord* record = block.record();
    standinConnectInput(record, 0, input_);
    call(block, kFlagSampleTimes);
    ASSERT_EQ(record->samplePeriods[0], -1.0);
    ASSERT_EQ(record->sampleOffsets[0], 0.0);
    for (int k = 0; k < steps; ++k) {
      const std::array<double, 2> u = inputAt(k);
      input_[0] = u[0];
      input_[1] = u[1];
      call(block, kFlagOutputs);
      if (HasFatalFailure()) return;
    }
    call(block, kFlagTerminate);
  }

  static void call(standin::BlockSession& block, int flag) {
    SFcnRecord* record = block.record();
    ASSERT_TRUE(block.methodKeepingError(flag)) << standinLastError();
    ASSERT_EQ(record->rootRecord->errorMessage, nullptr)
        << "flag " << flag << ": " << record->rootRecord->errorMessage;
  }

  static void expectCardReleasedAtZero() {
    EXPECT_EQ(simcardOutputVolts(0), 0.0);
    EXPECT_EQ(simcardOutputVolts(1), 0.0);
    EXPECT_EQ(simcardOpenTaskCount(), 0);
    EXPECT_EQ(simcardChannelReservedBy(0), 0u);
    EXPECT_EQ(simcardChannelReservedBy(1), 0u);
  }

  static void expectNothingForTheUser() {
    EXPECT_EQ(standinDialogCount(), 0u);
    EXPECT_EQ(standinWarningCount(), 0u);
    EXPECT_EQ(standinBreachCount(), 0u);
  }

  double input_[2] = {0.0, 0.0};
};

TEST_F(WholeRunTest, AThousandStepsReachTheCardInOrderAndEndAtZero) {
  run(session(), kSteps);
  if (HasFatalFailure()) return;

  ASSERT_EQ(simcardWriteCount(), 2u * kSteps + 2u);
  const TaskHandle ao0 = simcardWriteAt(0).task;
  const TaskHandle ao1 = simcardWriteAt(1).task;
  EXPECT_NE(ao0, ao1);
  for (int k = 0; k <= kSteps; ++k) {
    const std::array<double, 2> u = k < kSteps ? inputAt(k) : std::array<double, 2>{0.0, 0.0};
    for (int channel = 0; channel < 2; ++channel) {
      const SimcardWrite write = simcardWriteAt(2 * static_cast<size_t>(k) + channel);
      ASSERT_EQ(write.task, channel == 0 ? ao0 : ao1) << "step " << k;
      ASSERT_EQ(write.channel, channel) << "step " << k;
      ASSERT_EQ(write.volts, u[channel]) << "step " << k << ", channel " << channel;
      ASSERT_EQ(write.status, SIMCARD_OK) << "step " << k << ", channel " << channel;
    }
  }
  expectCardReleasedAtZero();
  expectNothingForTheUser();
}

// A host asks for the sizes first, then sets the block up on its own record:
// the tasks of the sizes query must not keep the channels from the run.
TEST_F(WholeRunTest, ASizesQueryBeforeTheRunLeavesNothingOpen) {
  ASSERT_TRUE(setUp(empty())) << standinLastError();
  run(session(), 10);
  if (HasFatalFailure()) return;

  for (size_t i = 0; i < simcardWriteCount(); ++i) {
    EXPECT_EQ(simcardWriteAt(i).status, SIMCARD_OK) << "write " << i;
  }
  expectCardReleasedAtZero();
}

TEST_F(WholeRunTest, TwoRunsInOneLoadEachEndClean) {
  run(session(), 20);
  if (HasFatalFailure()) return;
  expectCardReleasedAtZero();
  run(session(), 20);
  if (HasFatalFailure()) return;
  expectCardReleasedAtZero();
  EXPECT_EQ(simcardWriteCount(), 2u * (2u * 20u + 2u));
}

// A failed write is followed by the next step as usual, and shutdown still
// releases the card (what the user is told is checked with the other faults).
TEST_F(WholeRunTest, AFailedWriteDoesNotStopTheRun) {
  simcardFailWriteAt(101);  // channel 0 of step 50
  run(session(), 100);
  if (HasFatalFailure()) return;

  ASSERT_EQ(simcardWriteCount(), 202u);
  EXPECT_EQ(simcardWriteAt(100).status, SIMCARD_ERR_INJECTED_WRITE_FAILURE);
  EXPECT_EQ(simcardWriteAt(101).status, SIMCARD_OK);
  EXPECT_EQ(simcardWriteAt(102).status, SIMCARD_OK);
  expectCardReleasedAtZero();
}

// Every refusal is warned about (the texts are checked with the other
// faults), but nothing ends a call or reaches the error slot.
TEST_F(WholeRunTest, ARunWithoutACardEndsNormallyAndReleasesItsTasks) {
  simcardSetPresent(false);
  run(session(), 5);
  if (HasFatalFailure()) return;
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(standinBreachCount(), 0u);
  EXPECT_GT(standinWarningCount(), 0u);
}

// A freshly loaded module holds no tasks: a shutdown that comes first reaches
// the driver with zero handles, which it refuses, and returns normally, once
// saying per channel that the output was not zeroed.
TEST_F(WholeRunTest, AShutdownBeforeAnySetupReturnsNormally) {
  standin::BlockSession& block = session();
  simcardSetRecording(true);
  call(block, kFlagTerminate);
  if (HasFatalFailure()) return;

  const SimcardFunction expected[] = {SIMCARD_WRITE_ANALOG_F64, SIMCARD_STOP_TASK,
                                      SIMCARD_CLEAR_TASK,       SIMCARD_WRITE_ANALOG_F64,
                                      SIMCARD_STOP_TASK,        SIMCARD_CLEAR_TASK};
  ASSERT_EQ(simcardCallCount(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(simcardCallAt(i).function, expected[i]) << "call " << i;
    EXPECT_EQ(simcardCallAt(i).task, 0u) << "call " << i;
    EXPECT_EQ(simcardCallAt(i).status, SIMCARD_ERR_INVALID_TASK) << "call " << i;
  }
  ASSERT_EQ(standinWarningCount(), 2u);
  EXPECT_STREQ(standinWarning(0),
               "block 'model/twinvolts': Dev1/ao0: the driver refused the write of 0 V at shutdown "
               "(status -200088); the output may still hold its last level");
  EXPECT_STREQ(standinWarning(1),
               "block 'model/twinvolts': Dev1/ao1: the driver refused the write of 0 V at shutdown "
               "(status -200088); the output may still hold its last level");
  EXPECT_EQ(standinDialogCount(), 0u);
}

// Unloading the module releases what the last set-up left held, with no
// write, as a set-up releases an earlier pair; the exit function is
// registered once per load, however many set-ups.
TEST_F(WholeRunTest, UnloadingReleasesAPairStillHeld) {
  constexpr SimcardFunction kStop = SIMCARD_STOP_TASK, kClear = SIMCARD_CLEAR_TASK;
  struct Case {
    const char* what;
    int setUps;      // sizes queries, then...
    bool wholeRun;   // ...a whole run
    bool tasksGone;  // both tasks cleared by someone else before the unload
    std::vector<SimcardFunction> callsAtUnload;
    std::vector<std::string> warnings;
  };
  const std::string refusedStop =
      ": the driver refused to stop the task at unload (status -200088); the channel may stay "
      "reserved";
  const Case cases[] = {
      {"a sizes query", 1, false, false, {kStop, kClear, kStop, kClear}, {}},
      {"three sizes queries", 3, false, false, {kStop, kClear, kStop, kClear}, {}},
      {"a whole run", 0, true, false, {}, {}},
      {"a sizes query, then a whole run", 1, true, false, {}, {}},
      {"no set-up", 0, false, false, {}, {}},
      {"tasks gone",
       1,
       false,
       true,
       {kStop, kClear, kStop, kClear},
       {"block 'twinvolts': Dev1/ao0" + refusedStop, "block 'twinvolts': Dev1/ao1" + refusedStop}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    unloadModule();
    fresh::resetHostAndCard();
    loadModule();
    const size_t registrations = standinExitRegistrationCount();
    for (int i = 0; i < c.setUps; ++i) ASSERT_TRUE(setUp(empty())) << standinLastError();
    if (c.wholeRun) run(session(), 3);
    if (c.tasksGone) {
      DAQmxClearTask(simcardChannelReservedBy(0));
      DAQmxClearTask(simcardChannelReservedBy(1));
    }
    const size_t warningsBefore = standinWarningCount();
    simcardSetRecording(true);
    unloadModule();

    std::vector<SimcardFunction> calls;
    for (size_t i = 0; i < simcardCallCount(); ++i) calls.push_back(simcardCallAt(i).function);
    EXPECT_EQ(calls, c.callsAtUnload);
    std::vector<std::string> warnings;
    for (size_t i = warningsBefore; i < standinWarningCount(); ++i) {
      warnings.push_back(standinWarning(i));
    }
    EXPECT_EQ(warnings, c.warnings);
    EXPECT_EQ(simcardOpenTaskCount(), 0);
    EXPECT_EQ(standinExitRegistrationCount() - registrations, c.setUps + c.wholeRun > 0 ? 1u : 0u);
    EXPECT_EQ(standinBreachCount(), 0u);
  }
}

// Two blocks in one model, A set up before B: only B, whose set-up opened the
// pair, reaches the card, whichever of the two ends first; A is told once,
// and B's counts are its own.
TEST_F(WholeRunTest, OnlyTheBlockWhoseSetUpCameLastDrivesTheCard) {
  const std::string notDriving =
      "block 'model/A': the outputs are driven by block 'model/B', whose set-up came later; this "
      "block writes nothing (a model can hold one twinvolts block)";
  const std::string refusedOnB = "block 'model/B': Dev1/ao0: ";
  struct Case {
    const char* what;
    bool ownerEndsFirst;
    long long failWriteAt;  // the third write is B's step 2 on ao0, A writing none
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {"A ends first", false, 0, {notDriving}},
      {"B ends first", true, 0, {notDriving}},
      {"a write of B refused",
       false,
       3,
       {notDriving,
        refusedOnB + "the driver refused the write of 4 V at step 2 (status -201003); the output "
                     "keeps its previous level",
        refusedOnB + "1 of 2 writes were refused; the first at step 2 (status -201003)"}},
  };
  const std::vector<std::string> onlyB = {"ao0 4", "ao1 4.5", "ao0 4", "ao1 4.5", "ao0 0", "ao1 0"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    unloadModule();
    fresh::resetHostAndCard();
    loadModule();
    simcardFailWriteAt(c.failWriteAt);
    standin::BlockSession& a = session("twinvolts", "model/A");
    standin::BlockSession& b = session("twinvolts", "model/B");
    double inputA[2] = {1.0, 1.5};
    double inputB[2] = {4.0, 4.5};
    ASSERT_TRUE(a.setUp()) << a.error();
    ASSERT_TRUE(b.setUp()) << b.error();
    standinConnectInput(a.record(), 0, inputA);
    standinConnectInput(b.record(), 0, inputB);
    for (int step = 0; step < 2; ++step) {
      call(a, kFlagOutputs);
      call(b, kFlagOutputs);
    }
    simcardSetRecording(true);
    call(c.ownerEndsFirst ? b : a, kFlagTerminate);
    const size_t callsOfFirstEnd = simcardCallCount();
    call(c.ownerEndsFirst ? a : b, kFlagTerminate);
    // A's end calls the driver for nothing; B's zeroes, stops and clears each task.
    const size_t callsOfEnds[] = {callsOfFirstEnd, simcardCallCount() - callsOfFirstEnd};
    EXPECT_EQ(callsOfEnds[c.ownerEndsFirst ? 1 : 0], 0u);
    EXPECT_EQ(callsOfEnds[c.ownerEndsFirst ? 0 : 1], 6u);

    std::vector<std::string> writes;
    for (size_t i = 0; i < simcardWriteCount(); ++i) {
      char write[32];
      std::snprintf(write, sizeof write, "ao%d %g", simcardWriteAt(i).channel,
                    simcardWriteAt(i).volts);
      writes.push_back(write);
    }
    EXPECT_EQ(writes, onlyB);
    std::vector<std::string> warnings;
    for (size_t i = 0; i < standinWarningCount(); ++i) warnings.push_back(standinWarning(i));
    EXPECT_EQ(warnings, c.warnings);
    expectCardReleasedAtZero();
  }
}

}  // namespace
}  // namespace e2e
