#include "services/services.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/fresh_host_test.h"

namespace {

constexpr int32_t kPortCount = 3;
constexpr uint32_t kGuard = 0xA5A5A5A5u;

const char kInputWarning[] =
    "block 'm/B': The macro ssSetInputPortReusable is obsolete, please update the MEX level2 "
    "S-function \"twinvolts\" to use the macro ssSetInputPortOptimOpts";
const char kOutputWarning[] =
    "block 'm/B': The macro ssSetOutputPortReusable is obsolete, please update the MEX level2 "
    "S-function \"twinvolts\" to use the macro ssSetOutputPortOptimOpts";

// Port arrays with one guard entry on each side, so that a write outside
// 0 .. count - 1 shows up as a changed guard.
struct GuardedRecord {
  SFcnRecord record{};
  InputPortInfo inputs[kPortCount + 2]{};
  OutputPortInfo outputs[kPortCount + 2]{};

  explicit GuardedRecord(uint32_t attributes) {
    record.blockPath = "m/B";
    record.sizesBlock.inputPortCount = kPortCount;
    record.sizesBlock.outputPortCount = kPortCount;
    record.inputPorts = &inputs[1];
    record.outputPorts = &outputs[1];
    for (InputPortInfo& port : inputs) port.attributes = attributes;
    for (OutputPortInfo& port : outputs) port.attributes = attributes;
    inputs[0].attributes = inputs[kPortCount + 1].attributes = kGuard;
    outputs[0].attributes = outputs[kPortCount + 1].attributes = kGuard;
  }
  uint32_t input(int32_t port) const { return inputs[port + 1].attributes; }
  uint32_t output(int32_t port) const { return outputs[port + 1].attributes; }
};

using PortReuseTest = FreshHostTest;

struct ReuseCase {
  uint32_t before;
  int32_t flag;
  uint32_t after;
};

const ReuseCase kInputCases[] = {
    {0x27, 5, 0x23},
    {0x27, 0, 0x21},
    {0x27, -1, 0x23},
    {0x27, 2, 0x23},
    {0x27, 1, 0x23},
    {0x00, 1, 0x02},
    {0x04, 1, 0x02},
    {0x02, 0, 0x00},
    {0xFFFFFFFF, 0, 0xFFFFFFF9},
    {0xFFFFFFFF, 1, 0xFFFFFFFB},
    {0x20, INT32_MIN, 0x22},
};

const ReuseCase kOutputCases[] = {
    {0x6, 1, 0x5},
    {0x6, 0, 0x4},
    {0x6, -1, 0x5},
    {0x6, 2, 0x5},
    {0x2, 1, 0x1},
    {0x1, 0, 0x0},
    {0xFFFFFFFF, 0, 0xFFFFFFFC},
    {0xFFFFFFFF, 1, 0xFFFFFFFD},
    {0x20, INT32_MAX, 0x21},
};

TEST_F(PortReuseTest, InputSetterStoresFieldAndKeepsOtherBits) {
  for (const ReuseCase& c : kInputCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.before << " flag " << std::dec << c.flag);
    standinReset();
    GuardedRecord r(c.before);
    ssSetInputPortReusable(&r.record, 1, c.flag);
    EXPECT_EQ(r.input(1), c.after);
    EXPECT_EQ(r.input(0), c.before);
    EXPECT_EQ(r.input(2), c.before);
    EXPECT_EQ(r.output(1), c.before);
    ASSERT_EQ(standinWarningCount(), 1u);
    EXPECT_STREQ(standinWarning(0), kInputWarning);
  }
}

TEST_F(PortReuseTest, OutputSetterStoresFieldAndKeepsOtherBits) {
  for (const ReuseCase& c : kOutputCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.before << " flag " << std::dec << c.flag);
    standinReset();
    GuardedRecord r(c.before);
    ssSetOutputPortReusable(&r.record, 1, c.flag);
    EXPECT_EQ(r.output(1), c.after);
    EXPECT_EQ(r.output(0), c.before);
    EXPECT_EQ(r.output(2), c.before);
    EXPECT_EQ(r.input(1), c.before);
    ASSERT_EQ(standinWarningCount(), 1u);
    EXPECT_STREQ(standinWarning(0), kOutputWarning);
  }
}

TEST_F(PortReuseTest, OutOfRangePortWarnsButWritesNothing) {
  const int32_t badPorts[] = {-1, kPortCount, kPortCount + 1, INT32_MIN, INT32_MAX};
  for (int32_t port : badPorts) {
    SCOPED_TRACE(port);
    standinReset();
    GuardedRecord r(0x27);
    ssSetInputPortReusable(&r.record, port, 1);
    ssSetOutputPortReusable(&r.record, port, 0);
    for (int32_t i = -1; i <= kPortCount; ++i) {
      const uint32_t expected = (i < 0 || i == kPortCount) ? kGuard : 0x27u;
      EXPECT_EQ(r.input(i), expected) << "input entry " << i;
      EXPECT_EQ(r.output(i), expected) << "output entry " << i;
    }
    ASSERT_EQ(standinWarningCount(), 2u);
    EXPECT_STREQ(standinWarning(0), kInputWarning);
    EXPECT_STREQ(standinWarning(1), kOutputWarning);
  }
}

TEST_F(PortReuseTest, RecordWithoutPortArraysOnlyWarns) {
  SFcnRecord record{};
  record.blockPath = "m/B";
  record.sizesBlock.inputPortCount = 2;
  record.sizesBlock.outputPortCount = 2;
  ssSetInputPortReusable(&record, 0, 1);
  ssSetOutputPortReusable(&record, 1, 1);
  EXPECT_EQ(record.inputPorts, nullptr);
  EXPECT_EQ(record.outputPorts, nullptr);
  EXPECT_EQ(standinWarningCount(), 2u);
}

TEST_F(PortReuseTest, WarnsOnEveryCallEvenWithoutChange) {
  GuardedRecord r(0x23);
  ssSetInputPortReusable(&r.record, 0, 1);
  ssSetInputPortReusable(&r.record, 0, 1);
  EXPECT_EQ(r.input(0), 0x23u);
  ASSERT_EQ(standinWarningCount(), 2u);
  EXPECT_STREQ(standinWarning(0), kInputWarning);
  EXPECT_STREQ(standinWarning(1), kInputWarning);
}

TEST_F(PortReuseTest, WarningWithoutBlockPathIsBareMessage) {
  GuardedRecord r(0);
  r.record.blockPath = nullptr;
  ssSetOutputPortReusable(&r.record, 0, 1);
  ASSERT_EQ(standinWarningCount(), 1u);
  EXPECT_STREQ(standinWarning(0), kOutputWarning + strlen("block 'm/B': "));
}

// Ports that the host allocated through the record's port-count hooks.
TEST_F(PortReuseTest, WorksOnHostAllocatedPorts) {
  SFcnRecord* record = standinNewHostRecord("twinvolts", "m/B");
  ASSERT_TRUE(record->setNumInputPortsFcn(record->setNumInputPortsContext, 2));
  ASSERT_TRUE(record->setNumOutputPortsFcn(record->setNumOutputPortsContext, 1));
  ASSERT_NE(record->inputPorts, nullptr);
  ASSERT_NE(record->outputPorts, nullptr);
  record->inputPorts[1].attributes = 0x20;
  ssSetInputPortReusable(record, 1, 1);
  ssSetOutputPortReusable(record, 0, 1);
  ssSetInputPortReusable(record, 2, 1);
  ssSetOutputPortReusable(record, 1, 1);
  EXPECT_EQ(record->inputPorts[0].attributes, 0u);
  EXPECT_EQ(record->inputPorts[1].attributes, 0x22u);
  EXPECT_EQ(record->outputPorts[0].attributes, 0x1u);
  EXPECT_EQ(standinWarningCount(), 4u);
  standinFreeHostRecord(record);
}

}  // namespace
