// A fresh card for every test and the block's way of opening a channel.
#pragma once

#include <gtest/gtest.h>

#include "simcard/simcard.h"

class SimcardTest : public ::testing::Test {
 protected:
  void SetUp() override { simcardReset(); }
  void TearDown() override { simcardReset(); }

  static TaskHandle createTask() {
    TaskHandle task = 0;
    EXPECT_EQ(DAQmxCreateTask("", &task), SIMCARD_OK);
    return task;
  }
  static int32 addChannel(TaskHandle task, const char* physical, double minVal = 0.0,
                          double maxVal = 5.0) {
    return DAQmxCreateAOVoltageChan(task, physical, "", minVal, maxVal, DAQmx_Val_Volts, nullptr);
  }
  // Created, one 0..5 V channel, started.
  static TaskHandle startedTask(const char* physical) {
    TaskHandle task = createTask();
    EXPECT_EQ(addChannel(task, physical), SIMCARD_OK);
    EXPECT_EQ(DAQmxStartTask(task), SIMCARD_OK);
    return task;
  }
  // The block's write: one sample, no auto-start, 10 s, layout 0.
  static int32 write(TaskHandle task, double volts, bool32 autoStart = 0,
                     int32* written = nullptr) {
    return DAQmxWriteAnalogF64(task, 1, autoStart, 10.0, 0, &volts, written, nullptr);
  }
};
