// Writes: what reaches the outputs, what is refused, and the trace.
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

#include "tests/simcard/simcard_fixture.h"

namespace {

TEST_F(SimcardTest, WriteDrivesTheOutputAndReportsOneSample) {
  TaskHandle ao0 = startedTask("Dev1/ao0");
  TaskHandle ao1 = startedTask("Dev1/ao1");
  int32 written = -1;
  EXPECT_EQ(write(ao0, 4.25, 0, &written), SIMCARD_OK);
  EXPECT_EQ(written, 1);
  EXPECT_EQ(write(ao1, 0.5), SIMCARD_OK) << "a null count target is allowed";
  EXPECT_EQ(simcardOutputVolts(0), 4.25);
  EXPECT_EQ(simcardOutputVolts(1), 0.5);
  // A real output keeps driving its last value after the task is gone.
  ASSERT_EQ(DAQmxClearTask(ao0), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(0), 4.25);
}

TEST_F(SimcardTest, OutputsStartAtZeroAndOtherChannelNumbersGiveNaN) {
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_TRUE(std::isnan(simcardOutputVolts(2)));
  EXPECT_TRUE(std::isnan(simcardOutputVolts(-1)));
  EXPECT_EQ(simcardChannelReservedBy(2), 0u);
}

TEST_F(SimcardTest, ValueOutsideTheConfiguredRangeIsRefusedAndOutputStays) {
  TaskHandle task = startedTask("Dev1/ao0");
  ASSERT_EQ(write(task, 3.0), SIMCARD_OK);
  const double refused[] = {5.0001,
                            -0.0001,
                            7.5,
                            -1.0,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
  for (double volts : refused) {
    SCOPED_TRACE(volts);
    int32 written = -1;
    EXPECT_EQ(write(task, volts, 0, &written), SIMCARD_ERR_VALUE_OUT_OF_RANGE);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(simcardOutputVolts(0), 3.0);
  }
  EXPECT_EQ(write(task, 0.0), SIMCARD_OK) << "the range's ends are inside it";
  EXPECT_EQ(write(task, 5.0), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(0), 5.0);
}

TEST_F(SimcardTest, WriteToATaskThatIsNotRunningNeedsAutoStart) {
  TaskHandle task = createTask();
  ASSERT_EQ(addChannel(task, "Dev1/ao1"), SIMCARD_OK);
  int32 written = -1;
  EXPECT_EQ(write(task, 1.0, 0, &written), SIMCARD_ERR_TASK_NOT_RUNNING);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);

  EXPECT_EQ(write(task, 1.0, 1, &written), SIMCARD_OK);
  EXPECT_EQ(written, 1);
  EXPECT_EQ(simcardOutputVolts(1), 1.0);
  EXPECT_EQ(simcardChannelReservedBy(1), task) << "auto-start leaves the task running";
  EXPECT_EQ(write(task, 2.0), SIMCARD_OK);

  ASSERT_EQ(DAQmxStopTask(task), SIMCARD_OK);
  EXPECT_EQ(write(task, 3.0), SIMCARD_ERR_TASK_NOT_RUNNING) << "a stopped task is not running";
  EXPECT_EQ(simcardOutputVolts(1), 2.0);
}

TEST_F(SimcardTest, RefusedAutoStartWriteDoesNotStartTheTask) {
  TaskHandle task = createTask();
  ASSERT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_OK);
  EXPECT_EQ(write(task, 9.0, 1), SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
}

TEST_F(SimcardTest, WriteToATaskWithoutChannelsFails) {
  TaskHandle task = createTask();
  EXPECT_EQ(write(task, 1.0, 1), SIMCARD_ERR_NO_CHANNELS);
  ASSERT_EQ(simcardWriteCount(), 1u);
  EXPECT_EQ(simcardWriteAt(0).channel, -1);
}

struct WriteArgsCase {
  const char* what;
  int32 numSampsPerChan;
  float64 timeout;
  bool32 dataLayout;
  bool nullData;
  bool nonNullReserved;
  int32 expected;
};

TEST_F(SimcardTest, WriteValidatesItsArguments) {
  const WriteArgsCase cases[] = {
      {"the block's arguments", 1, 10.0, 0, false, false, SIMCARD_OK},
      {"layout by scan", 1, 10.0, 1, false, false, SIMCARD_OK},
      {"wait forever", 1, -1.0, 0, false, false, SIMCARD_OK},
      {"no wait", 1, 0.0, 0, false, false, SIMCARD_OK},
      // Written as numbers where the driver's error table fixes them.
      {"two samples", 2, 10.0, 0, false, false, -200622},
      {"no samples", 0, 10.0, 0, false, false, SIMCARD_ERR_SAMPLES_PER_CHANNEL},
      {"negative samples", -1, 10.0, 0, false, false, SIMCARD_ERR_SAMPLES_PER_CHANNEL},
      {"null data", 1, 10.0, 0, true, false, SIMCARD_ERR_NULL_POINTER},
      {"negative time-out", 1, -2.0, 0, false, false, -200453},
      {"NaN time-out", 1, std::numeric_limits<double>::quiet_NaN(), 0, false, false,
       SIMCARD_ERR_INVALID_TIMEOUT},
      {"unknown layout", 1, 10.0, 2, false, false, SIMCARD_ERR_INVALID_ARGUMENT},
      {"reserved not null", 1, 10.0, 0, false, true, -200492},
  };
  TaskHandle task = startedTask("Dev1/ao0");
  double volts = 0.0;
  for (const WriteArgsCase& c : cases) {
    SCOPED_TRACE(c.what);
    volts += 0.25;
    double before = simcardOutputVolts(0);
    bool32 reserved = 0;
    int32 written = -1;
    EXPECT_EQ(DAQmxWriteAnalogF64(task, c.numSampsPerChan, 0, c.timeout, c.dataLayout,
                                  c.nullData ? nullptr : &volts, &written,
                                  c.nonNullReserved ? &reserved : nullptr),
              c.expected);
    EXPECT_EQ(written, c.expected == SIMCARD_OK ? 1 : 0);
    EXPECT_EQ(simcardOutputVolts(0), c.expected == SIMCARD_OK ? volts : before);
  }
}

TEST_F(SimcardTest, TaskWithBothChannelsWritesOneValueToEach) {
  TaskHandle task = createTask();
  ASSERT_EQ(addChannel(task, "Dev1/ao1", -10.0, 10.0), SIMCARD_OK);
  ASSERT_EQ(addChannel(task, "Dev1/ao0", 0.0, 5.0), SIMCARD_OK);
  ASSERT_EQ(DAQmxStartTask(task), SIMCARD_OK);
  const double values[] = {-7.0, 2.0};  // in the order the channels were added
  EXPECT_EQ(DAQmxWriteAnalogF64(task, 1, 0, 10.0, 0, values, nullptr, nullptr), SIMCARD_OK);
  EXPECT_EQ(simcardOutputVolts(1), -7.0);
  EXPECT_EQ(simcardOutputVolts(0), 2.0);
  const double secondOutOfRange[] = {1.0, 6.0};
  EXPECT_EQ(DAQmxWriteAnalogF64(task, 1, 0, 10.0, 0, secondOutOfRange, nullptr, nullptr),
            SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  EXPECT_EQ(simcardOutputVolts(1), -7.0) << "a refused write changes no channel";
  ASSERT_EQ(simcardWriteCount(), 4u);
  EXPECT_EQ(simcardWriteAt(2).channel, 1);
  EXPECT_EQ(simcardWriteAt(3).channel, 0);
  EXPECT_EQ(simcardWriteAt(3).volts, 6.0);
  EXPECT_EQ(simcardWriteAt(3).status, SIMCARD_ERR_VALUE_OUT_OF_RANGE);
}

TEST_F(SimcardTest, TraceKeepsEveryWriteInOrderWithItsStatus) {
  TaskHandle ao0 = startedTask("Dev1/ao0");
  TaskHandle ao1 = startedTask("Dev1/ao1");
  ASSERT_EQ(write(ao0, 1.0), SIMCARD_OK);
  ASSERT_EQ(write(ao1, 6.0), SIMCARD_ERR_VALUE_OUT_OF_RANGE);
  ASSERT_EQ(write(0, 2.0), SIMCARD_ERR_INVALID_TASK);
  ASSERT_EQ(DAQmxWriteAnalogF64(ao1, 1, 0, 10.0, 0, nullptr, nullptr, nullptr),
            SIMCARD_ERR_NULL_POINTER);
  const SimcardWrite expected[] = {
      {ao0, 0, 1.0, SIMCARD_OK},
      {ao1, 1, 6.0, SIMCARD_ERR_VALUE_OUT_OF_RANGE},
      {0, -1, 2.0, SIMCARD_ERR_INVALID_TASK},
      {ao1, 1, std::numeric_limits<double>::quiet_NaN(), SIMCARD_ERR_NULL_POINTER},
  };
  ASSERT_EQ(simcardWriteCount(), std::size(expected));
  size_t inPlaceCount = 0;
  const SimcardWrite* inPlace = simcardWrites(&inPlaceCount);
  ASSERT_EQ(inPlaceCount, std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    SimcardWrite got = simcardWriteAt(i);
    EXPECT_TRUE(got.task == inPlace[i].task && got.channel == inPlace[i].channel &&
                got.status == inPlace[i].status &&
                std::memcmp(&got.volts, &inPlace[i].volts, sizeof got.volts) == 0)
        << "the trace in place differs";
    EXPECT_EQ(got.task, expected[i].task);
    EXPECT_EQ(got.channel, expected[i].channel);
    if (std::isnan(expected[i].volts)) {
      EXPECT_TRUE(std::isnan(got.volts));
    } else {
      EXPECT_EQ(got.volts, expected[i].volts);
    }
    EXPECT_EQ(got.status, expected[i].status);
  }
  SimcardWrite past = simcardWriteAt(std::size(expected));
  EXPECT_EQ(past.channel, -1);
  EXPECT_TRUE(std::isnan(past.volts));
}

TEST_F(SimcardTest, TraceStopsAtItsCapacityAndCountsTheRest) {
  TaskHandle task = startedTask("Dev1/ao0");
  const size_t extra = 3;
  for (size_t i = 0; i < SIMCARD_WRITE_TRACE_CAPACITY + extra; ++i) {
    ASSERT_EQ(write(task, static_cast<double>(i % 5)), SIMCARD_OK);
  }
  EXPECT_EQ(simcardWriteCount(), static_cast<size_t>(SIMCARD_WRITE_TRACE_CAPACITY));
  EXPECT_EQ(simcardWritesDropped(), extra);
  EXPECT_EQ(simcardOutputVolts(0), static_cast<double>((SIMCARD_WRITE_TRACE_CAPACITY + 2) % 5))
      << "writes past the trace still reach the output";
  simcardReset();
  EXPECT_EQ(simcardWriteCount(), 0u);
  EXPECT_EQ(simcardWritesDropped(), 0u);
}

TEST_F(SimcardTest, ClearingTheTraceLeavesTheCardAsItIs) {
  TaskHandle task = startedTask("Dev1/ao0");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(write(task, 1.5), SIMCARD_OK);
  simcardClearWriteTrace();
  EXPECT_EQ(simcardWriteCount(), 0u);
  EXPECT_EQ(simcardOutputVolts(0), 1.5);
  EXPECT_EQ(simcardOpenTaskCount(), 1);
  ASSERT_EQ(write(task, 2.5), SIMCARD_OK);
  ASSERT_EQ(simcardWriteCount(), 1u);
  EXPECT_EQ(simcardWriteAt(0).volts, 2.5);
}

}  // namespace
