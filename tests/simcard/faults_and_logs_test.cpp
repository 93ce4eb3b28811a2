// Injected faults, recording mode, status texts, no-op writes and reset.
#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "tests/simcard/simcard_fixture.h"

namespace {

TEST_F(SimcardTest, WithoutACardTasksOpenButNothingReachesTheOutputs) {
  simcardSetPresent(false);
  TaskHandle task = 0;
  EXPECT_EQ(DAQmxCreateTask("", &task), SIMCARD_OK) << "task creation needs no card";
  EXPECT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_ERR_DEVICE_NOT_PRESENT);
  EXPECT_EQ(DAQmxStartTask(task), SIMCARD_ERR_DEVICE_NOT_PRESENT);
  EXPECT_EQ(write(task, 1.0, 1), SIMCARD_ERR_DEVICE_NOT_PRESENT);
  EXPECT_EQ(DAQmxStopTask(task), SIMCARD_OK);
  EXPECT_EQ(DAQmxClearTask(task), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
}

TEST_F(SimcardTest, CardRemovedWhileRunningRefusesWritesAndComesBack) {
  TaskHandle task = startedTask("Dev1/ao0");
  ASSERT_EQ(write(task, 1.0), SIMCARD_OK);
  simcardSetPresent(false);
  int32 written = -1;
  EXPECT_EQ(write(task, 2.0, 0, &written), SIMCARD_ERR_DEVICE_NOT_PRESENT);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(simcardOutputVolts(0), 1.0);
  simcardSetPresent(true);
  EXPECT_EQ(write(task, 2.0), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(0), 2.0);
}

TEST_F(SimcardTest, InjectedFailureHitsExactlyTheNthWriteOfAnyTask) {
  TaskHandle ao0 = startedTask("Dev1/ao0");
  TaskHandle ao1 = startedTask("Dev1/ao1");
  simcardFailWriteAt(4);
  const int32 expected[] = {SIMCARD_OK, SIMCARD_OK, SIMCARD_OK, SIMCARD_ERR_INJECTED_WRITE_FAILURE,
                            SIMCARD_OK, SIMCARD_OK};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i + 1);
    TaskHandle task = i % 2 == 0 ? ao0 : ao1;
    int32 written = -1;
    EXPECT_EQ(write(task, 0.5 * (i + 1), 0, &written), expected[i]);
    EXPECT_EQ(written, expected[i] == SIMCARD_OK ? 1 : 0);
    if (i == 3) {
      EXPECT_EQ(simcardOutputVolts(1), 1.0) << "the failed write left ao1 as it was";
    }
  }
  EXPECT_EQ(simcardWriteAt(3).status, SIMCARD_ERR_INJECTED_WRITE_FAILURE);
  EXPECT_EQ(simcardOutputVolts(1), 3.0);
}

TEST_F(SimcardTest, InjectedFailureCountsFailedWritesAndDoesNotAutoStart) {
  TaskHandle task = createTask();
  ASSERT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_OK);
  simcardFailWriteAt(2);
  EXPECT_EQ(write(0, 1.0), SIMCARD_ERR_INVALID_TASK);
  EXPECT_EQ(write(task, 1.0, 1), SIMCARD_ERR_INJECTED_WRITE_FAILURE);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
  EXPECT_EQ(write(task, 1.0, 1), SIMCARD_OK);

  simcardReset();
  task = startedTask("Dev1/ao0");
  simcardFailWriteAt(-3);
  EXPECT_EQ(write(task, 1.0), SIMCARD_OK) << "a negative position means no fault";
}

// What the block does in one run, as the module would call it.
TEST_F(SimcardTest, RecordingKeepsEveryCallWithItsExactArguments) {
  simcardSetRecording(true);
  TaskHandle task = 0;
  ASSERT_EQ(DAQmxCreateTask("", &task), SIMCARD_OK);
  ASSERT_EQ(DAQmxCreateAOVoltageChan(task, "Dev1/ao0", "", 0.0, 5.0, DAQmx_Val_Volts, nullptr),
            SIMCARD_OK);
  ASSERT_EQ(DAQmxStartTask(task), SIMCARD_OK);
  double value = 7.5;
  int32 written = 0;
  ASSERT_EQ(DAQmxWriteAnalogF64(task, 1, 0, 10.0, 0, &value, &written, nullptr),
            SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  ASSERT_EQ(DAQmxStopTask(task), SIMCARD_OK);
  ASSERT_EQ(DAQmxClearTask(task), SIMCARD_OK);
  ASSERT_EQ(DAQmxClearTask(task), SIMCARD_ERR_INVALID_TASK);

  ASSERT_EQ(simcardCallCount(), 7u);
  SimcardCall create = simcardCallAt(0);
  EXPECT_EQ(create.function, SIMCARD_CREATE_TASK);
  EXPECT_EQ(create.task, task);
  EXPECT_STREQ(create.taskName, "");
  EXPECT_FALSE(create.taskNameIsNull);

  SimcardCall chan = simcardCallAt(1);
  EXPECT_EQ(chan.function, SIMCARD_CREATE_AO_VOLTAGE_CHAN);
  EXPECT_EQ(chan.task, task);
  EXPECT_STREQ(chan.physicalChannel, "Dev1/ao0");
  EXPECT_STREQ(chan.assignedName, "");
  EXPECT_FALSE(chan.assignedNameIsNull);
  EXPECT_EQ(chan.minVal, 0.0);
  EXPECT_EQ(chan.maxVal, 5.0);
  EXPECT_EQ(chan.units, DAQmx_Val_Volts);
  EXPECT_TRUE(chan.scaleNameIsNull);

  SimcardCall wr = simcardCallAt(3);
  EXPECT_EQ(wr.function, SIMCARD_WRITE_ANALOG_F64);
  EXPECT_EQ(wr.status, SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  EXPECT_EQ(wr.numSampsPerChan, 1);
  EXPECT_EQ(wr.autoStart, 0u);
  EXPECT_EQ(wr.timeout, 10.0);
  EXPECT_EQ(wr.dataLayout, 0u);
  EXPECT_EQ(wr.writeArray, &value);
  EXPECT_EQ(wr.firstValue, 7.5);
  EXPECT_EQ(wr.sampsPerChanWritten, &written);
  EXPECT_EQ(wr.reserved, nullptr);

  const SimcardFunction order[] = {SIMCARD_CREATE_TASK, SIMCARD_CREATE_AO_VOLTAGE_CHAN,
                                   SIMCARD_START_TASK,  SIMCARD_WRITE_ANALOG_F64,
                                   SIMCARD_STOP_TASK,   SIMCARD_CLEAR_TASK,
                                   SIMCARD_CLEAR_TASK};
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(simcardCallAt(i).function, order[i]);
    EXPECT_EQ(simcardCallAt(i).task, task);
  }
  EXPECT_EQ(simcardCallAt(6).status, SIMCARD_ERR_INVALID_TASK);
  EXPECT_EQ(simcardCallAt(7).function, SIMCARD_NO_CALL);
}

TEST_F(SimcardTest, RecordingTellsNullNamesFromEmptyOnesAndCutsLongNames) {
  simcardSetRecording(true);
  EXPECT_EQ(DAQmxCreateTask(nullptr, nullptr), SIMCARD_ERR_NULL_POINTER);
  TaskHandle task = createTask();
  std::string longName(40, 'x');
  EXPECT_EQ(
      DAQmxCreateAOVoltageChan(task, longName.c_str(), nullptr, 0.0, 5.0, DAQmx_Val_Volts, "scale"),
      SIMCARD_ERR_UNKNOWN_CHANNEL);
  ASSERT_EQ(simcardCallCount(), 3u);
  SimcardCall failedCreate = simcardCallAt(0);
  EXPECT_TRUE(failedCreate.taskNameIsNull);
  EXPECT_EQ(failedCreate.task, 0u);
  EXPECT_EQ(failedCreate.status, SIMCARD_ERR_NULL_POINTER);
  SimcardCall chan = simcardCallAt(2);
  EXPECT_EQ(std::string(chan.physicalChannel), longName.substr(0, 31));
  EXPECT_TRUE(chan.assignedNameIsNull);
  EXPECT_FALSE(chan.scaleNameIsNull);
}

TEST_F(SimcardTest, RecordingOffRecordsNothing) {
  TaskHandle task = startedTask("Dev1/ao0");
  ASSERT_EQ(write(task, 1.0), SIMCARD_OK);
  EXPECT_EQ(simcardCallCount(), 0u);
  simcardSetRecording(true);
  ASSERT_EQ(write(task, 1.0), SIMCARD_OK);
  simcardSetRecording(false);
  ASSERT_EQ(write(task, 1.0), SIMCARD_OK);
  EXPECT_EQ(simcardCallCount(), 1u);
}

TEST_F(SimcardTest, StatusTextsAreDistinctSentences) {
  const int32 statuses[] = {
      SIMCARD_OK,
      SIMCARD_WARN_SUCCEEDED_WITH_WARNING,
      SIMCARD_ERR_DEVICE_NOT_PRESENT,
      SIMCARD_ERR_INVALID_TASK,
      SIMCARD_ERR_RESOURCE_RESERVED,
      SIMCARD_ERR_VALUE_OUT_OF_RANGE,
      SIMCARD_ERR_TASK_NOT_RUNNING,
      SIMCARD_ERR_TASK_RUNNING,
      SIMCARD_ERR_NO_CHANNELS,
      SIMCARD_ERR_UNKNOWN_CHANNEL,
      SIMCARD_ERR_DUPLICATE_CHANNEL,
      SIMCARD_ERR_UNSUPPORTED_VALUE,
      SIMCARD_ERR_CUSTOM_SCALE,
      SIMCARD_ERR_SAMPLES_PER_CHANNEL,
      SIMCARD_ERR_NULL_POINTER,
      SIMCARD_ERR_INVALID_TIMEOUT,
      SIMCARD_ERR_RESERVED_NOT_NULL,
      SIMCARD_ERR_INVALID_ARGUMENT,
      SIMCARD_ERR_INJECTED_WRITE_FAILURE,
  };
  std::set<std::string> texts;
  std::set<int32> codes;
  for (int32 status : statuses) {
    SCOPED_TRACE(status);
    EXPECT_EQ(status > 0, status == SIMCARD_WARN_SUCCEEDED_WITH_WARNING) << "a failure is negative";
    EXPECT_TRUE(codes.insert(status).second) << "status code used twice";
    std::string text = simcardStatusText(status);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text.front())));
    EXPECT_NE(text.back(), '.');
    EXPECT_TRUE(texts.insert(text).second) << "text used twice: " << text;
  }
  std::string unknown = simcardStatusText(-1);
  EXPECT_FALSE(unknown.empty());
  EXPECT_EQ(texts.count(unknown), 0u) << "an unknown status must not pass for a known one";
}

// A driver's warning comes with a call that worked: the output moves, the
// task runs, and only the status differs. Refusals keep their own status.
TEST_F(SimcardTest, WarnOnSuccessChangesTheStatusOfSuccessesOnly) {
  simcardSetWarnOnSuccess(true);
  constexpr int32 kWarn = SIMCARD_WARN_SUCCEEDED_WITH_WARNING;
  TaskHandle task = 0;
  EXPECT_EQ(DAQmxCreateTask("", &task), kWarn);
  EXPECT_EQ(addChannel(task, "Dev1/ao1"), kWarn);
  EXPECT_EQ(DAQmxStartTask(task), kWarn);
  int32 written = 0;
  EXPECT_EQ(write(task, 2.5, 0, &written), kWarn);
  EXPECT_EQ(written, 1);
  EXPECT_EQ(simcardOutputVolts(1), 2.5);
  EXPECT_EQ(write(task, 7.5), SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  ASSERT_EQ(simcardWriteCount(), 2u);
  EXPECT_EQ(simcardWriteAt(0).status, kWarn);
  EXPECT_EQ(DAQmxStopTask(task), kWarn);
  EXPECT_EQ(DAQmxClearTask(task), kWarn);
  EXPECT_EQ(DAQmxClearTask(task), SIMCARD_ERR_INVALID_TASK);
  simcardReset();
  EXPECT_EQ(DAQmxCreateTask("", &task), SIMCARD_OK) << "reset turns the warnings off";
}

TEST_F(SimcardTest, NoopWritesSucceedAndTouchNothing) {
  TaskHandle task = startedTask("Dev1/ao0");
  simcardSetRecording(true);
  simcardFailWriteAt(1);
  simcardSetWritesNoop(true);
  int32 written = 0;
  EXPECT_EQ(write(task, 9.0, 0, &written), SIMCARD_OK);
  EXPECT_EQ(written, 1);
  EXPECT_EQ(write(0, 1.0), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardWriteCount(), 0u);
  EXPECT_EQ(simcardCallCount(), 0u);
  simcardSetWritesNoop(false);
  EXPECT_EQ(write(task, 1.0), SIMCARD_ERR_INJECTED_WRITE_FAILURE)
      << "no-op writes do not count toward the injected failure";
}

TEST_F(SimcardTest, ResetRestoresAFreshCard) {
  TaskHandle task = startedTask("Dev1/ao1");
  ASSERT_EQ(write(task, 3.0), SIMCARD_OK);
  simcardSetPresent(false);
  simcardFailWriteAt(1);
  simcardSetWritesNoop(true);
  simcardSetRecording(true);
  simcardReset();
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_EQ(simcardChannelReservedBy(1), 0u);
  EXPECT_EQ(simcardWriteCount(), 0u);
  task = startedTask("Dev1/ao1");           // present again, the channel free
  EXPECT_EQ(write(task, 1.0), SIMCARD_OK);  // no fault, not a no-op
  EXPECT_EQ(simcardOutputVolts(1), 1.0);
  EXPECT_EQ(simcardCallCount(), 0u) << "recording is off after reset";
}

}  // namespace
