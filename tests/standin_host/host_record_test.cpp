#include <gtest/gtest.h>

#include <stdint.h>

#include <cstring>

#include "gateway/sfcn_record.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/fresh_host_test.h"

namespace {

class HostRecordTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    char name[] = "twinvolts";
    record_ = standinNewHostRecord(name, "model/Analog Out");
    name[0] = 'T';  // the record keeps its own copy
    ASSERT_NE(record_, nullptr);
  }
  void TearDown() override {
    standinFreeHostRecord(record_);
    FreshHostTest::TearDown();
  }

  bool allZero(const void* data, size_t bytes) {
    const unsigned char* byte = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i) {
      if (byte[i] != 0) return false;
    }
    return true;
  }

  int setInputs(int32_t count) {
    return record_->setNumInputPortsFcn(record_->setNumInputPortsContext, count);
  }
  int setOutputs(int32_t count) {
    return record_->setNumOutputPortsFcn(record_->setNumOutputPortsContext, count);
  }

  SFcnRecord* record_ = nullptr;
};

TEST_F(HostRecordTest, ANewRecordIsZeroButForWhatTheHostProvides) {
  EXPECT_STREQ(record_->sfcnName, "twinvolts");
  EXPECT_STREQ(record_->blockPath, "model/Analog Out");
  EXPECT_EQ(record_->rootRecord, record_);
  EXPECT_EQ(record_->errorMessage, nullptr);
  EXPECT_TRUE(allZero(&record_->sizesBlock, sizeof record_->sizesBlock));
  EXPECT_EQ(record_->inputPorts, nullptr);
  EXPECT_EQ(record_->outputPorts, nullptr);
  EXPECT_EQ(record_->paramArrays, nullptr);
  EXPECT_EQ(record_->mdlOutputs, nullptr);
  ASSERT_NE(record_->hostInfo, nullptr);
  EXPECT_TRUE(allZero(record_->hostInfo, sizeof(HostInfo)));
  ASSERT_NE(record_->propagationMethods, nullptr);
  EXPECT_TRUE(allZero(record_->propagationMethods, sizeof(PropagationMethods)));
  ASSERT_NE(record_->samplePeriods, nullptr);
  ASSERT_NE(record_->sampleOffsets, nullptr);
  EXPECT_TRUE(allZero(record_->samplePeriods, STANDIN_MAX_SAMPLE_TIMES * sizeof(double)));
  EXPECT_TRUE(allZero(record_->sampleOffsets, STANDIN_MAX_SAMPLE_TIMES * sizeof(double)));
  EXPECT_EQ(record_->setNumInputPortsContext, record_);
  EXPECT_EQ(record_->setNumOutputPortsContext, record_);
}

TEST_F(HostRecordTest, PortCountHooksStoreRefuseAndAllocate) {
  EXPECT_EQ(setInputs(-1), 0);
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 0);
  EXPECT_EQ(record_->inputPorts, nullptr);

  ASSERT_EQ(setInputs(3), 1);
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 3);
  ASSERT_NE(record_->inputPorts, nullptr);
  EXPECT_TRUE(allZero(record_->inputPorts, 3 * sizeof(InputPortInfo)));
  record_->inputPorts[2].width = 2;  // every port is writable

  ASSERT_EQ(setInputs(1), 1);  // a fresh array replaces the earlier one
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 1);
  EXPECT_EQ(record_->inputPorts[0].width, 0);

  InputPortInfo* kept = record_->inputPorts;
  ASSERT_EQ(setInputs(0), 1);
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 0);
  EXPECT_EQ(record_->inputPorts, kept);

  ASSERT_EQ(setOutputs(2), 1);
  EXPECT_EQ(record_->sizesBlock.outputPortCount, 2);
  ASSERT_NE(record_->outputPorts, nullptr);
  EXPECT_TRUE(allZero(record_->outputPorts, 2 * sizeof(OutputPortInfo)));
  EXPECT_EQ(setOutputs(-5), 0);
  EXPECT_EQ(record_->sizesBlock.outputPortCount, 2);

  EXPECT_EQ(standinInputPortCountCalls(record_), 4);
  EXPECT_EQ(standinOutputPortCountCalls(record_), 2);
  EXPECT_EQ(record_->sizesBlock.portFlags, 0u);
}

TEST_F(HostRecordTest, ACountNoMemoryHoldsIsRefusedAndChangesNothing) {
  ASSERT_EQ(setInputs(1), 1);
  InputPortInfo* ports = record_->inputPorts;
  if (sizeof(void*) == 4) {
    // 2^31 - 1 ports of 64 bytes cannot exist in a 32-bit address space.
    EXPECT_EQ(setInputs(INT32_MAX), 0);
    EXPECT_EQ(record_->sizesBlock.inputPortCount, 1);
    EXPECT_EQ(record_->inputPorts, ports);
  }
  EXPECT_EQ(standinInputPortCountCalls(record_), sizeof(void*) == 4 ? 2 : 1);
}

TEST_F(HostRecordTest, FreeingLeavesAloneWhatOthersPointedTheRecordAt) {
  ASSERT_EQ(setInputs(2), 1);
  InputPortInfo own[1] = {};
  record_->inputPorts = own;  // e.g. a test's guarded array
  standinFreeHostRecord(record_);
  record_ = nullptr;
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(HostRecordTest, TheAttachArgumentCarriesTheAddressAndTheStamp) {
  mxArray* attach = standinNewAttachArgument(record_);
  ASSERT_NE(attach, nullptr);
  EXPECT_EQ(mxGetClassID(attach), mxDOUBLE_CLASS);
  EXPECT_EQ(mxGetM(attach), 2u);
  EXPECT_EQ(mxGetN(attach), 1u);
  const double* values = mxGetPr(attach);
  EXPECT_EQ(values[1], 5200229.0);
  EXPECT_EQ(values[0], static_cast<double>(reinterpret_cast<uintptr_t>(record_)));
  EXPECT_EQ(static_cast<uintptr_t>(values[0]), reinterpret_cast<uintptr_t>(record_));
  EXPECT_EQ(values[0], static_cast<double>(static_cast<uint64_t>(values[0])));  // integer-valued
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(HostRecordTest, ConnectingAnInputPointsThePortAtTheSignal) {
  double signal[2] = {1.0, 2.0};
  EXPECT_FALSE(standinConnectInput(record_, 0, signal));  // no port declared yet
  ASSERT_EQ(setInputs(1), 1);
  EXPECT_TRUE(standinConnectInput(record_, 0, signal));
  EXPECT_EQ(record_->inputPorts[0].signal, signal);
  EXPECT_FALSE(standinConnectInput(record_, 1, signal));
  EXPECT_FALSE(standinConnectInput(record_, -1, signal));
  ASSERT_EQ(standinBreachCount(), 3u);
  EXPECT_STREQ(standinBreach(2), "standinConnectInput: the block has no input port -1");
}

TEST_F(HostRecordTest, RecordsTheHostDidNotMakeAreBreaches) {
  SFcnRecord foreign = {};
  foreign.setNumInputPortsContext = &foreign;
  EXPECT_EQ(record_->setNumInputPortsFcn(&foreign, 1), 0);
  EXPECT_EQ(standinInputPortCountCalls(&foreign), 0);
  standinFreeHostRecord(&foreign);
  standinFreeHostRecord(nullptr);  // nothing to free, as free() allows
  ASSERT_EQ(standinBreachCount(), 3u);
  EXPECT_STREQ(standinBreach(0), "setNumInputPortsFcn called with a record this host did not make");
  EXPECT_STREQ(standinBreach(2),
               "standinFreeHostRecord called with a record this host did not make");
}

}  // namespace
