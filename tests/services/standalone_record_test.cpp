// The services on a record that the gateway made in stand-alone mode: its
// path is the module's name and its HostInfo carries no hooks.
#include <gtest/gtest.h>

#include "gateway/gateway.h"
#include "services/services.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

using twinvolts::createStandaloneRecord;

class StandaloneRecordTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    record_ = createStandaloneRecord(0, nullptr);
    ASSERT_NE(record_, nullptr);
  }
  void TearDown() override {
    standinReclaimCallMemory();
    FreshHostTest::TearDown();
  }

  SFcnRecord* record_ = nullptr;
};

TEST_F(StandaloneRecordTest, WarningsAreAddressedToTheModuleName) {
  ssWarnWithBlockPath(record_, "Hello");
  ASSERT_TRUE(record_->setNumOutputPortsFcn(record_->setNumOutputPortsContext, 1));
  ssSetOutputPortReusable(record_, 0, 1);
  ASSERT_EQ(standinWarningCount(), 2u);
  EXPECT_STREQ(standinWarning(0), "block 'twinvolts': Hello");
  EXPECT_STREQ(standinWarning(1),
               "block 'twinvolts': The macro ssSetOutputPortReusable is obsolete, please update "
               "the MEX level2 S-function \"twinvolts\" to use the macro ssSetOutputPortOptimOpts");
  EXPECT_EQ(record_->outputPorts[0].attributes, 0x1u);
}

TEST_F(StandaloneRecordTest, SettersReachOnlyDeclaredPorts) {
  ASSERT_TRUE(record_->setNumInputPortsFcn(record_->setNumInputPortsContext, 1));
  record_->inputPorts[0].attributes = 0x27;
  ssSetInputPortReusable(record_, 0, 0);
  ssSetInputPortReusable(record_, 1, 1);
  ssSetOutputPortReusable(record_, 0, 1);  // no output ports declared
  EXPECT_EQ(record_->inputPorts[0].attributes, 0x21u);
  EXPECT_EQ(standinWarningCount(), 3u);
}

TEST_F(StandaloneRecordTest, ForwardersFindNoHooks) {
  EXPECT_EQ(ssSetInputPortVectorShape(record_, 0, 2), 1);
  EXPECT_EQ(ssSetOutputPortVectorShape(record_, 0, 2), 1);
  EXPECT_EQ(ssSetInputPortMatrixShape(record_, 0, 3, 4), 1);
  EXPECT_EQ(ssSetOutputPortMatrixShape(record_, 0, 3, 4), 1);
  EXPECT_EQ(ssGetHostServiceInt(record_, 7), 0);
  EXPECT_EQ(ssGetHostServiceReal(record_), 0.0);
  EXPECT_EQ(record_->errorMessage, nullptr);
  EXPECT_EQ(standinWarningCount(), 0u);
}

}  // namespace
