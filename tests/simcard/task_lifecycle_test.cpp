// Tasks: handles, states, channel creation and reservations.
#include <cmath>
#include <limits>
#include <set>

#include "tests/simcard/simcard_fixture.h"

namespace {

TEST_F(SimcardTest, FullLifecycleSucceedsAndReleasesEverything) {
  TaskHandle task = createTask();
  EXPECT_EQ(simcardOpenTaskCount(), 1);
  EXPECT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_OK);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
  EXPECT_EQ(DAQmxStartTask(task), SIMCARD_OK);
  EXPECT_EQ(simcardChannelReservedBy(0), task);
  EXPECT_EQ(write(task, 2.5), SIMCARD_OK);
  EXPECT_EQ(DAQmxStopTask(task), SIMCARD_OK);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
  EXPECT_EQ(DAQmxClearTask(task), SIMCARD_OK);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

TEST_F(SimcardTest, HandlesAreSmallNonZeroAndNeverReused) {
  std::set<TaskHandle> seen;
  for (int i = 0; i < 10; ++i) {
    TaskHandle task = createTask();
    EXPECT_NE(task, 0u);
    EXPECT_LE(task, 10u);
    EXPECT_TRUE(seen.insert(task).second) << "handle " << task << " handed out twice";
    EXPECT_EQ(DAQmxClearTask(task), SIMCARD_OK);
  }
  simcardReset();
  EXPECT_EQ(createTask(), 1u) << "handles count from 1 again after a reset";
}

TEST_F(SimcardTest, CreateTaskNeedsSomewhereToStoreTheHandle) {
  EXPECT_EQ(DAQmxCreateTask("", nullptr), SIMCARD_ERR_NULL_POINTER);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  TaskHandle task = 0;
  EXPECT_EQ(DAQmxCreateTask(nullptr, &task), SIMCARD_OK) << "a null name is an unnamed task";
  EXPECT_NE(task, 0u);
}

// Every call on a handle that is not open fails the same way and changes nothing.
TEST_F(SimcardTest, EveryCallOnAnInvalidHandleFails) {
  TaskHandle cleared = startedTask("Dev1/ao0");
  ASSERT_EQ(write(cleared, 1.0), SIMCARD_OK);
  ASSERT_EQ(DAQmxClearTask(cleared), SIMCARD_OK);
  for (TaskHandle task : {cleared, TaskHandle{0}, TaskHandle{99}}) {
    SCOPED_TRACE(task);
    int32 written = -1;
    EXPECT_EQ(addChannel(task, "Dev1/ao1"), SIMCARD_ERR_INVALID_TASK);
    EXPECT_EQ(DAQmxStartTask(task), SIMCARD_ERR_INVALID_TASK);
    EXPECT_EQ(write(task, 2.0, 1, &written), SIMCARD_ERR_INVALID_TASK);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(DAQmxStopTask(task), SIMCARD_ERR_INVALID_TASK);
    EXPECT_EQ(DAQmxClearTask(task), SIMCARD_ERR_INVALID_TASK);
  }
  EXPECT_EQ(simcardOutputVolts(0), 1.0);
  EXPECT_EQ(simcardChannelReservedBy(1), 0u);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

TEST_F(SimcardTest, OpenTaskCountFollowsCreateAndClear) {
  TaskHandle a = createTask();
  TaskHandle b = startedTask("Dev1/ao1");
  TaskHandle c = createTask();
  EXPECT_EQ(simcardOpenTaskCount(), 3);
  EXPECT_EQ(DAQmxStopTask(b), SIMCARD_OK);
  EXPECT_EQ(simcardOpenTaskCount(), 3) << "stopping does not close a task";
  EXPECT_EQ(DAQmxClearTask(b), SIMCARD_OK);
  EXPECT_EQ(DAQmxClearTask(b), SIMCARD_ERR_INVALID_TASK);
  EXPECT_EQ(simcardOpenTaskCount(), 2) << "a second clear does not count twice";
  EXPECT_EQ(DAQmxClearTask(a), SIMCARD_OK);
  EXPECT_EQ(DAQmxClearTask(c), SIMCARD_OK);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

struct ChannelCase {
  const char* what;
  const char* physical;
  double minVal, maxVal;
  int32 units;
  const char* scale;
  int32 expected;
};

TEST_F(SimcardTest, ChannelCreationValidatesEveryArgument) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ChannelCase cases[] = {
      {"ao0", "Dev1/ao0", 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_OK},
      {"ao1, full range", "Dev1/ao1", -10.0, 10.0, DAQmx_Val_Volts, nullptr, SIMCARD_OK},
      {"third output", "Dev1/ao2", 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_ERR_UNKNOWN_CHANNEL},
      {"other device", "Dev2/ao0", 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_ERR_UNKNOWN_CHANNEL},
      {"case differs", "dev1/AO0", 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_ERR_UNKNOWN_CHANNEL},
      {"trailing space", "Dev1/ao0 ", 0.0, 5.0, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNKNOWN_CHANNEL},
      {"empty", "", 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_ERR_UNKNOWN_CHANNEL},
      {"null", nullptr, 0.0, 5.0, DAQmx_Val_Volts, nullptr, SIMCARD_ERR_NULL_POINTER},
      {"min equals max", "Dev1/ao0", 5.0, 5.0, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      {"min above max", "Dev1/ao0", 5.0, 0.0, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      {"max above card", "Dev1/ao0", 0.0, 10.5, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      {"min below card", "Dev1/ao0", -11.0, 0.0, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      {"NaN minimum", "Dev1/ao0", nan, 5.0, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      {"NaN maximum", "Dev1/ao0", 0.0, nan, DAQmx_Val_Volts, nullptr,
       SIMCARD_ERR_UNSUPPORTED_VALUE},
      // Written as numbers where the driver's error table fixes them.
      {"units not volts", "Dev1/ao0", 0.0, 5.0, 10349, nullptr, -200077},
      {"custom scale", "Dev1/ao0", 0.0, 5.0, DAQmx_Val_Volts, "myScale", -200378},
      {"empty custom scale", "Dev1/ao0", 0.0, 5.0, DAQmx_Val_Volts, "", SIMCARD_ERR_CUSTOM_SCALE},
  };
  for (const ChannelCase& c : cases) {
    SCOPED_TRACE(c.what);
    TaskHandle task = createTask();
    EXPECT_EQ(DAQmxCreateAOVoltageChan(task, c.physical, "", c.minVal, c.maxVal, c.units, c.scale),
              c.expected);
    // A refused channel leaves the task without channels.
    EXPECT_EQ(DAQmxStartTask(task),
              c.expected == SIMCARD_OK ? SIMCARD_OK : SIMCARD_ERR_NO_CHANNELS);
    EXPECT_EQ(DAQmxClearTask(task), SIMCARD_OK);
  }
}

TEST_F(SimcardTest, TaskStateRules) {
  TaskHandle task = createTask();
  EXPECT_EQ(DAQmxStartTask(task), SIMCARD_ERR_NO_CHANNELS);
  EXPECT_EQ(DAQmxStopTask(task), SIMCARD_OK) << "stopping a task that never ran is harmless";
  ASSERT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_OK);
  EXPECT_EQ(addChannel(task, "Dev1/ao0"), SIMCARD_ERR_DUPLICATE_CHANNEL);
  ASSERT_EQ(DAQmxStartTask(task), SIMCARD_OK);
  EXPECT_EQ(DAQmxStartTask(task), SIMCARD_ERR_TASK_RUNNING);
  EXPECT_EQ(addChannel(task, "Dev1/ao1"), SIMCARD_ERR_TASK_RUNNING);
  ASSERT_EQ(DAQmxStopTask(task), SIMCARD_OK);
  EXPECT_EQ(addChannel(task, "Dev1/ao1"), SIMCARD_OK) << "a stopped task takes channels again";
  EXPECT_EQ(DAQmxStartTask(task), SIMCARD_OK) << "a stopped task can be started again";
  EXPECT_EQ(simcardChannelReservedBy(0), task);
  EXPECT_EQ(simcardChannelReservedBy(1), task);
}

TEST_F(SimcardTest, StartedTaskReservesItsChannelUntilStoppedOrCleared) {
  TaskHandle first = startedTask("Dev1/ao0");
  TaskHandle second = createTask();
  ASSERT_EQ(addChannel(second, "Dev1/ao0"), SIMCARD_OK) << "adding a held channel is allowed";
  EXPECT_EQ(DAQmxStartTask(second), SIMCARD_ERR_RESOURCE_RESERVED);
  EXPECT_EQ(simcardChannelReservedBy(0), first);
  EXPECT_EQ(write(second, 1.0, 1), SIMCARD_ERR_RESOURCE_RESERVED) << "auto-start is refused too";

  TaskHandle other = startedTask("Dev1/ao1");
  EXPECT_NE(other, 0u) << "the other channel is free";

  ASSERT_EQ(DAQmxStopTask(first), SIMCARD_OK);
  EXPECT_EQ(DAQmxStartTask(second), SIMCARD_OK);
  EXPECT_EQ(DAQmxStartTask(first), SIMCARD_ERR_RESOURCE_RESERVED);
  ASSERT_EQ(DAQmxClearTask(second), SIMCARD_OK);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
  EXPECT_EQ(DAQmxStartTask(first), SIMCARD_OK);
}

TEST_F(SimcardTest, ConflictOnOneChannelReservesNoneOfATasksChannels) {
  startedTask("Dev1/ao1");
  TaskHandle both = createTask();
  ASSERT_EQ(addChannel(both, "Dev1/ao0"), SIMCARD_OK);
  ASSERT_EQ(addChannel(both, "Dev1/ao1"), SIMCARD_OK);
  EXPECT_EQ(DAQmxStartTask(both), SIMCARD_ERR_RESOURCE_RESERVED);
  EXPECT_EQ(simcardChannelReservedBy(0), 0u);
}

}  // namespace
