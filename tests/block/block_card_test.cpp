// The block against the simulated card: what reaches the outputs.
#include "block_fixture.h"

namespace {

using BlockCardTest = BlockTest;

TEST_F(BlockCardTest, RunDrivesBothOutputsAndLeavesThemAtZero) {
  mdlInitializeSizes(record_);
  runOutputs(1.5, 3.25);
  EXPECT_EQ(simcardOutputVolts(0), 1.5);
  EXPECT_EQ(simcardOutputVolts(1), 3.25);

  mdlShutdown(record_);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

// A sizes query sets the block up on a record of its own and is never shut
// down; the simulation then sets up again on the host's record.
TEST_F(BlockCardTest, RunAfterAnUnreleasedSetUpStillReachesTheCard) {
  SFcnRecord* query = standinNewHostRecord("twinvolts", "model/Analog Out");
  mdlInitializeSizes(query);
  standinFreeHostRecord(query);

  mdlInitializeSizes(record_);
  runOutputs(2.0, 4.0);
  EXPECT_EQ(simcardOutputVolts(0), 2.0);
  EXPECT_EQ(simcardOutputVolts(1), 4.0);
  ASSERT_EQ(simcardWriteCount(), 2u);
  EXPECT_EQ(simcardWriteAt(0).status, 0) << simcardStatusText(simcardWriteAt(0).status);
  EXPECT_EQ(simcardWriteAt(1).status, 0) << simcardStatusText(simcardWriteAt(1).status);
  EXPECT_EQ(simcardOpenTaskCount(), 2);

  mdlShutdown(record_);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

// What the release prevents: a set-up that forgets the earlier pair (as a
// block that never released it would) leaves the new tasks unstarted, since
// the old pair still reserves both channels, and no write reaches the card.
TEST_F(BlockCardTest, ForgottenEarlierPairKeepsTheOutputsUnwritten) {
  SFcnRecord* query = standinNewHostRecord("twinvolts", "model/Analog Out");
  mdlInitializeSizes(query);
  standinFreeHostRecord(query);
  tasksHeld = false;  // forget the pair without releasing it

  mdlInitializeSizes(record_);
  runOutputs(2.0, 4.0);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  ASSERT_EQ(simcardWriteCount(), 2u);
  EXPECT_NE(simcardWriteAt(0).status, 0);
  EXPECT_NE(simcardWriteAt(1).status, 0);
  EXPECT_EQ(simcardOpenTaskCount(), 4);
}

TEST_F(BlockCardTest, FailedWriteDoesNotStopTheOtherChannel) {
  mdlInitializeSizes(record_);
  simcardFailWriteAt(1);
  runOutputs(1.0, 2.0);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 2.0);
}

TEST_F(BlockCardTest, SetUpWithoutACardStillReturnsAndShutdownReleasesTheTasks) {
  simcardSetPresent(false);
  mdlInitializeSizes(record_);
  EXPECT_EQ(record_->sizesBlock.inputPortCount, 1);
  EXPECT_TRUE(tasksHeld);
  runOutputs(1.0, 2.0);
  mdlShutdown(record_);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
}

}  // namespace
