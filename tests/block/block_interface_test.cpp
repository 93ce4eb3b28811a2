// What the block declares to the host, and when it stops declaring.
#include "block_fixture.h"
#include "tests/support/expected_messages.h"

namespace {

int HOST_CALL refusePortCount(void*, int32_t) {
  return 0;
}

TEST_F(BlockTest, SetUpDeclaresOneTwoWideFeedThroughInputAndOneSampleTime) {
  mdlInitializeSizes(record_);

  const SFcnSizes& sizes = record_->sizesBlock;
  EXPECT_EQ(sizes.expectedParamCount, 0);
  EXPECT_EQ(sizes.inputPortCount, 1);
  EXPECT_EQ(sizes.outputPortCount, 0);
  EXPECT_EQ(sizes.sampleTimeCount, 1);
  ASSERT_NE(record_->inputPorts, nullptr);
  EXPECT_EQ(record_->inputPorts[0].width, 2);
  EXPECT_EQ(record_->inputPorts[0].directFeedThrough, 1);
  EXPECT_EQ(record_->inputPorts[0].attributes & 0x20u, 0x20u);
  EXPECT_EQ(standinInputPortCountCalls(record_), 1);
  EXPECT_EQ(standinOutputPortCountCalls(record_), 1);
  EXPECT_EQ(standinDialogCount(), 0u);  // the guarded setter found port 0 valid
  EXPECT_EQ(simcardOpenTaskCount(), 2);
  EXPECT_TRUE(tasksHeld);
}

// A record of the test's own whose input-port hook hands out a port array
// that already carries attribute bits, as a host's may.
struct PresetPortsRecord {
  SFcnRecord record{};
  HostInfo hostInfo{};
  InputPortInfo ports[1]{};
};

int HOST_CALL acceptPresetPorts(void* context, int32_t count) {
  auto* owner = static_cast<PresetPortsRecord*>(context);
  owner->record.sizesBlock.inputPortCount = count;
  owner->record.inputPorts = owner->ports;
  return 1;
}

int HOST_CALL acceptPortCount(void*, int32_t) {
  return 1;
}

TEST_F(BlockTest, SetUpAddsItsAttributeBitToThoseThePortHas) {
  PresetPortsRecord owner;
  owner.record.sfcnName = "twinvolts";
  owner.record.blockPath = "model/Analog Out";
  owner.record.rootRecord = &owner.record;
  owner.record.hostInfo = &owner.hostInfo;
  owner.record.setNumInputPortsFcn = acceptPresetPorts;
  owner.record.setNumInputPortsContext = &owner;
  owner.record.setNumOutputPortsFcn = acceptPortCount;
  owner.ports[0].attributes = 0x6;

  mdlInitializeSizes(&owner.record);
  EXPECT_EQ(owner.ports[0].attributes, 0x26u);
  EXPECT_EQ(owner.ports[0].width, 2);
}

TEST_F(BlockTest, SuppliedParameterStopsSetUpBeforeAnyPortOrTask) {
  record_->suppliedParamCount = 1;
  record_->sizesBlock.expectedParamCount = 7;  // the block must overwrite it
  mdlInitializeSizes(record_);

  EXPECT_EQ(record_->sizesBlock.expectedParamCount, 0);
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 0);
  EXPECT_EQ(record_->sizesBlock.sampleTimeCount, 0);
  EXPECT_EQ(standinInputPortCountCalls(record_), 0);
  EXPECT_EQ(standinOutputPortCountCalls(record_), 0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_FALSE(tasksHeld);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

TEST_F(BlockTest, RefusedInputPortCountStopsSetUp) {
  record_->setNumInputPortsFcn = refusePortCount;
  mdlInitializeSizes(record_);

  EXPECT_EQ(record_->inputPorts, nullptr);
  EXPECT_EQ(standinOutputPortCountCalls(record_), 0);
  EXPECT_EQ(record_->sizesBlock.sampleTimeCount, 0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

TEST_F(BlockTest, RefusedOutputPortCountStopsSetUpAfterTheInputPort) {
  record_->setNumOutputPortsFcn = refusePortCount;
  mdlInitializeSizes(record_);

  ASSERT_NE(record_->inputPorts, nullptr);
  EXPECT_EQ(record_->inputPorts[0].width, 2);
  EXPECT_EQ(record_->inputPorts[0].directFeedThrough, 1);
  EXPECT_EQ(record_->sizesBlock.sampleTimeCount, 0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_FALSE(tasksHeld);
}

TEST_F(BlockTest, SampleTimeIsInheritedWithZeroOffset) {
  record_->samplePeriods[0] = 0.25;
  record_->sampleOffsets[0] = 0.5;
  mdlDeclareSampleTimes(record_);
  EXPECT_EQ(record_->samplePeriods[0], -1.0);
  EXPECT_EQ(record_->sampleOffsets[0], 0.0);
}

TEST_F(BlockTest, StubsPostTheirMessageInTheRootRecordOnly) {
  struct Case {
    void(HOST_CALL* method)(SFcnRecord*);
    const char* message;
  };
  const Case cases[] = {
      {varHitStub, expected::kVarHit},
      {zeroCrossingsStub, expected::kZeroCrossings},
  };
  for (const Case& c : cases) {
    SFcnRecord* root = standinNewHostRecord("root", "model");
    record_->rootRecord = root;
    record_->errorMessage = nullptr;
    c.method(record_);
    EXPECT_STREQ(root->errorMessage, c.message);
    EXPECT_EQ(record_->errorMessage, nullptr);
    EXPECT_EQ(simcardCallCount(), 0u);
    record_->rootRecord = record_;
    standinFreeHostRecord(root);

    // A record without a root keeps the message itself instead of crashing.
    record_->rootRecord = nullptr;
    c.method(record_);
    EXPECT_STREQ(record_->errorMessage, c.message);
    record_->rootRecord = record_;
  }
}

}  // namespace
