// The exact driver calls of each method, from the card's call recording.
#include <string>

#include "block_fixture.h"

namespace {

class BlockDriverCallsTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    simcardSetRecording(true);
  }
};

// Which call, on which task; the detailed arguments are checked apart.
struct CallShape {
  SimcardFunction function;
  TaskHandle task;
};

void expectShapes(const std::vector<SimcardCall>& calls, const std::vector<CallShape>& shapes) {
  ASSERT_EQ(calls.size(), shapes.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].function, shapes[i].function) << "call " << i;
    EXPECT_EQ(calls[i].task, shapes[i].task) << "call " << i;
  }
}

void expectCreateTask(const SimcardCall& call) {
  EXPECT_EQ(call.function, SIMCARD_CREATE_TASK);
  EXPECT_FALSE(call.taskNameIsNull);
  EXPECT_STREQ(call.taskName, "");
  EXPECT_NE(call.task, 0u);
}

void expectVoltageChannel(const SimcardCall& call, TaskHandle task, const char* channel) {
  EXPECT_EQ(call.function, SIMCARD_CREATE_AO_VOLTAGE_CHAN);
  EXPECT_EQ(call.task, task);
  EXPECT_STREQ(call.physicalChannel, channel);
  EXPECT_FALSE(call.assignedNameIsNull);
  EXPECT_STREQ(call.assignedName, "");
  EXPECT_EQ(call.minVal, 0.0);
  EXPECT_EQ(call.maxVal, 5.0);
  EXPECT_EQ(call.units, 10348);
  EXPECT_TRUE(call.scaleNameIsNull);
}

void expectWrite(const SimcardCall& call, TaskHandle task, const double* buffer, double value) {
  EXPECT_EQ(call.function, SIMCARD_WRITE_ANALOG_F64);
  EXPECT_EQ(call.task, task);
  EXPECT_EQ(call.numSampsPerChan, 1);
  EXPECT_EQ(call.autoStart, 0u);
  EXPECT_EQ(call.timeout, 10.0);
  EXPECT_EQ(call.dataLayout, 0u);
  EXPECT_EQ(call.writeArray, buffer);
  EXPECT_EQ(call.firstValue, value);
  EXPECT_EQ(call.sampsPerChanWritten, &samplesWritten);
  EXPECT_EQ(call.reserved, nullptr);
}

// The six calls that open the pair: create, channel, start for ao0, then ao1.
void expectOpenPair(const std::vector<SimcardCall>& calls, size_t first) {
  ASSERT_GE(calls.size(), first + 6);
  const TaskHandle ao0 = calls[first].task;
  const TaskHandle ao1 = calls[first + 3].task;
  EXPECT_NE(ao0, ao1);
  EXPECT_EQ(SFcnTaskAo0, ao0);
  EXPECT_EQ(SFcnTaskAo1, ao1);
  expectCreateTask(calls[first]);
  expectVoltageChannel(calls[first + 1], ao0, "Dev1/ao0");
  EXPECT_EQ(calls[first + 2].function, SIMCARD_START_TASK);
  EXPECT_EQ(calls[first + 2].task, ao0);
  expectCreateTask(calls[first + 3]);
  expectVoltageChannel(calls[first + 4], ao1, "Dev1/ao1");
  EXPECT_EQ(calls[first + 5].function, SIMCARD_START_TASK);
  EXPECT_EQ(calls[first + 5].task, ao1);
}

TEST_F(BlockDriverCallsTest, SetUpOpensChannelZeroThenChannelOne) {
  mdlInitializeSizes(record_);
  const std::vector<SimcardCall> calls = callsSince(0);
  ASSERT_EQ(calls.size(), 6u);
  expectOpenPair(calls, 0);
  for (const SimcardCall& call : calls) EXPECT_EQ(call.status, 0) << simcardStatusText(call.status);
}

TEST_F(BlockDriverCallsTest, OutputsPassValuesUnchangedChannelZeroFirst) {
  struct Case {
    double u0, u1;
  };
  // Out-of-range values reach the driver as they are: the range is the card's to enforce.
  const Case cases[] = {{1.25, 4.5}, {7.5, -1.0}, {0.0, 5.0}};
  mdlInitializeSizes(record_);
  for (const Case& c : cases) {
    const size_t before = simcardCallCount();
    runOutputs(c.u0, c.u1);
    const std::vector<SimcardCall> calls = callsSince(before);
    ASSERT_EQ(calls.size(), 2u) << c.u0;
    expectWrite(calls[0], SFcnTaskAo0, &ao0Value, c.u0);
    expectWrite(calls[1], SFcnTaskAo1, &ao1Value, c.u1);
    EXPECT_EQ(ao0Value, c.u0);
    EXPECT_EQ(ao1Value, c.u1);
  }
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

TEST_F(BlockDriverCallsTest, OutputsTwiceWithTheSameInputWritesTwice) {
  mdlInitializeSizes(record_);
  const size_t before = simcardCallCount();
  runOutputs(2.0, 3.0);
  runOutputs(2.0, 3.0);
  const std::vector<SimcardCall> calls = callsSince(before);
  ASSERT_EQ(calls.size(), 4u);
  for (size_t step = 0; step < 2; ++step) {
    expectWrite(calls[2 * step], SFcnTaskAo0, &ao0Value, 2.0);
    expectWrite(calls[2 * step + 1], SFcnTaskAo1, &ao1Value, 3.0);
  }
}

TEST_F(BlockDriverCallsTest, OutputsWithoutAConnectedInputWriteNothing) {
  mdlInitializeSizes(record_);
  const size_t before = simcardCallCount();
  ao0Value = 1.5;
  mdlOutputs(record_, 0);
  EXPECT_EQ(simcardCallCount(), before);
  EXPECT_EQ(ao0Value, 1.5);
  EXPECT_EQ(standinDialogCount(), 1u);
  EXPECT_EQ(record_->hostInfo->fatalErrorFlag, 1);
}

TEST_F(BlockDriverCallsTest, ShutdownZeroesStopsAndClearsChannelZeroBeforeChannelOne) {
  mdlInitializeSizes(record_);
  runOutputs(4.0, 2.5);
  const TaskHandle ao0 = SFcnTaskAo0;
  const TaskHandle ao1 = SFcnTaskAo1;
  const size_t before = simcardCallCount();
  mdlShutdown(record_);
  const std::vector<SimcardCall> calls = callsSince(before);
  expectShapes(calls, {{SIMCARD_WRITE_ANALOG_F64, ao0},
                       {SIMCARD_STOP_TASK, ao0},
                       {SIMCARD_CLEAR_TASK, ao0},
                       {SIMCARD_WRITE_ANALOG_F64, ao1},
                       {SIMCARD_STOP_TASK, ao1},
                       {SIMCARD_CLEAR_TASK, ao1}});
  if (calls.size() == 6) {
    expectWrite(calls[0], ao0, &ao0Value, 0.0);
    expectWrite(calls[3], ao1, &ao1Value, 0.0);
  }
  // The handles keep their values; only the held mark is dropped.
  EXPECT_EQ(SFcnTaskAo0, ao0);
  EXPECT_EQ(SFcnTaskAo1, ao1);
  EXPECT_FALSE(tasksHeld);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

TEST_F(BlockDriverCallsTest, ShutdownWithoutSetUpCallsTheDriverWithZeroHandles) {
  mdlShutdown(record_);
  const std::vector<SimcardCall> calls = callsSince(0);
  expectShapes(calls, {{SIMCARD_WRITE_ANALOG_F64, 0},
                       {SIMCARD_STOP_TASK, 0},
                       {SIMCARD_CLEAR_TASK, 0},
                       {SIMCARD_WRITE_ANALOG_F64, 0},
                       {SIMCARD_STOP_TASK, 0},
                       {SIMCARD_CLEAR_TASK, 0}});
  for (const SimcardCall& call : calls) EXPECT_NE(call.status, 0);  // the card refuses handle 0
  EXPECT_EQ(ao0Value, 0.0);
  EXPECT_EQ(ao1Value, 0.0);
}

TEST_F(BlockDriverCallsTest, SecondSetUpReleasesThePairNoShutdownReleased) {
  mdlInitializeSizes(record_);
  const TaskHandle ao0 = SFcnTaskAo0;
  const TaskHandle ao1 = SFcnTaskAo1;
  const size_t before = simcardCallCount();
  mdlInitializeSizes(record_);
  const std::vector<SimcardCall> calls = callsSince(before);
  ASSERT_EQ(calls.size(), 10u);
  expectShapes({calls.begin(), calls.begin() + 4}, {{SIMCARD_STOP_TASK, ao0},
                                                    {SIMCARD_CLEAR_TASK, ao0},
                                                    {SIMCARD_STOP_TASK, ao1},
                                                    {SIMCARD_CLEAR_TASK, ao1}});
  expectOpenPair(calls, 4);
  for (const SimcardCall& call : calls) EXPECT_EQ(call.status, 0) << simcardStatusText(call.status);
  EXPECT_EQ(simcardOpenTaskCount(), 2);
}

TEST_F(BlockDriverCallsTest, SetUpAfterShutdownMakesNoExtraCalls) {
  mdlInitializeSizes(record_);
  mdlShutdown(record_);
  const size_t before = simcardCallCount();
  mdlInitializeSizes(record_);
  const std::vector<SimcardCall> calls = callsSince(before);
  ASSERT_EQ(calls.size(), 6u);
  expectOpenPair(calls, 0);
}

TEST_F(BlockDriverCallsTest, SetUpThatStopsEarlyLeavesAHeldPairAlone) {
  mdlInitializeSizes(record_);
  const size_t before = simcardCallCount();
  record_->suppliedParamCount = 1;
  mdlInitializeSizes(record_);
  EXPECT_EQ(simcardCallCount(), before);
  EXPECT_TRUE(tasksHeld);
  EXPECT_EQ(simcardOpenTaskCount(), 2);
}

}  // namespace
