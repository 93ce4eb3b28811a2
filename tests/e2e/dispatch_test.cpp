// Method calls through mexFunction: the block's own flags, the optional
// slots with a filled and an empty slot, invalid flags, and the error slot
// of the root record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/loaded_module.h"
#include "tests/support/slot_checks.h"

namespace e2e {
namespace {

using namespace slots;

void fillEverySlot(SFcnRecord* record, bool on) {
  for (const SlotRow& row : kSlotRows) row.fill(record, on);
}

void setDimensionInfo(SFcnRecord* record, bool on) {
  if (on) {
    record->sizesBlock.portFlags |= 0x1u;
  } else {
    record->sizesBlock.portFlags &= ~0x1u;
  }
}

class DispatchTest : public LoadedModuleTest {
 protected:
  void SetUp() override {
    LoadedModuleTest::SetUp();
    if (HasFatalFailure()) return;
    slotCalls().clear();
    block_ = &session();
    record_ = block_->record();
    ASSERT_TRUE(block_->setUp()) << block_->error();
    standinConnectInput(record_, 0, input_);
    setCallArguments(record_);
  }

  // A method call that must return normally, as every method call does; the
  // error slot is left as it stands.
  void dispatch(double flag) {
    ASSERT_TRUE(block_->methodKeepingError(flag)) << standinLastError();
  }

  standin::BlockSession* block_ = nullptr;
  SFcnRecord* record_ = nullptr;
  double input_[2] = {1.0, 2.0};
};

TEST_F(DispatchTest, CallsAFilledOptionalSlotWithTheHostsArguments) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    slotCalls().clear();
    setDimensionInfo(record_, row.dimensionInfo);
    row.fill(record_, true);
    dispatch(row.flag);
    ASSERT_EQ(slotCalls().size(), 1u);
    expectCalledAsTheRowSays(row, slotCalls()[0], record_);
    EXPECT_EQ(record_->errorMessage, nullptr);
    row.fill(record_, false);
  }
}

TEST_F(DispatchTest, PostsTheRowsMessageForAnEmptyOptionalSlot) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    setDimensionInfo(record_, row.dimensionInfo);
    record_->errorMessage = nullptr;
    dispatch(row.flag);
    EXPECT_STREQ(record_->errorMessage, row.message);
  }
}

// Width and dimension-info flags share a slot; portFlags bit 0 picks the one
// that may reach it, and the other posts its message even with the slot filled.
TEST_F(DispatchTest, PortFlagsBitZeroDecidesBetweenWidthAndDimensionInfo) {
  for (const SlotRow& row : kSlotRows) {
    if (row.flag != 115 && row.flag != 116 && row.flag != 126 && row.flag != 127) continue;
    SCOPED_TRACE(row.flag);
    slotCalls().clear();
    setDimensionInfo(record_, !row.dimensionInfo);
    row.fill(record_, true);
    record_->errorMessage = nullptr;
    dispatch(row.flag);
    EXPECT_TRUE(slotCalls().empty());
    EXPECT_STREQ(record_->errorMessage, row.message);
    row.fill(record_, false);
  }
}

TEST_F(DispatchTest, InvalidFlagsCallNothingAndSayWhy) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double flags[] = {0,   -1,  100, 102, 105, 106, 109, 110,  117,   118,
                          119, 124, 125, 129, 130, 134, 135, 136,  137,   138,
                          139, 140, 141, 143, 1e6, nan, inf, -inf, 1e300, 9223372036854775808.0,
                          -0.5};
  fillEverySlot(record_, true);
  simcardSetRecording(true);
  for (double flag : flags) {
    SCOPED_TRACE(flag);
    for (bool dimensionInfo : {false, true}) {
      setDimensionInfo(record_, dimensionInfo);
      record_->errorMessage = nullptr;
      dispatch(flag);
      EXPECT_STREQ(record_->errorMessage, expected::kInvalidFlag);
    }
  }
  EXPECT_TRUE(slotCalls().empty());
  EXPECT_EQ(simcardCallCount(), 0u);
}

TEST_F(DispatchTest, TruncatesTheFlagToItsLow32Bits) {
  record_->samplePeriods[0] = 99.0;
  dispatch(4294967296.0 + 101.0);  // 2^32 + 101
  EXPECT_EQ(record_->samplePeriods[0], -1.0);

  input_[0] = 4.5;
  dispatch(104.7);
  EXPECT_EQ(simcardOutputVolts(0), 4.5);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

TEST_F(DispatchTest, BlockFlagsReachTheBlockWhateverTheSlotsHold) {
  fillEverySlot(record_, true);
  record_->mdlSampleTimes = recordMethod<101>;  // flag 101 must not call this
  record_->mdlOutputs = nullptr;
  record_->mdlTerminate = nullptr;
  record_->mdlGetTimeOfNextVarHit = nullptr;
  record_->mdlZeroCrossings = nullptr;
  record_->samplePeriods[0] = 99.0;
  record_->sampleOffsets[0] = 99.0;
  record_->samplePeriods[1] = 42.0;

  dispatch(kFlagSampleTimes);
  EXPECT_EQ(record_->samplePeriods[0], -1.0);
  EXPECT_EQ(record_->sampleOffsets[0], 0.0);
  EXPECT_EQ(record_->samplePeriods[1], 42.0);

  // The task id the host leaves does not change what is written.
  for (int32_t taskArgument : {0, -2, 3}) {
    SCOPED_TRACE(taskArgument);
    record_->sizesBlock.callArgInt = taskArgument;
    input_[0] += 1.0;
    dispatch(kFlagOutputs);
    EXPECT_EQ(simcardOutputVolts(0), input_[0]);
  }

  dispatch(kFlagVarHit);
  EXPECT_STREQ(record_->errorMessage, expected::kVarHit);
  dispatch(kFlagZeroCrossings);
  EXPECT_STREQ(record_->errorMessage, expected::kZeroCrossings);

  dispatch(kFlagTerminate);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_TRUE(slotCalls().empty());
}

TEST_F(DispatchTest, ShutdownZeroesThenReleasesChannelZeroBeforeChannelOne) {
  input_[0] = 3.0;
  input_[1] = 4.0;
  dispatch(kFlagOutputs);
  const TaskHandle ao0 = simcardChannelReservedBy(0);
  const TaskHandle ao1 = simcardChannelReservedBy(1);
  simcardSetRecording(true);
  dispatch(kFlagTerminate);

  const struct {
    SimcardFunction function;
    TaskHandle task;
  } expected[] = {
      {SIMCARD_WRITE_ANALOG_F64, ao0}, {SIMCARD_STOP_TASK, ao0}, {SIMCARD_CLEAR_TASK, ao0},
      {SIMCARD_WRITE_ANALOG_F64, ao1}, {SIMCARD_STOP_TASK, ao1}, {SIMCARD_CLEAR_TASK, ao1},
  };
  ASSERT_EQ(simcardCallCount(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const SimcardCall call = simcardCallAt(i);
    EXPECT_EQ(call.function, expected[i].function);
    EXPECT_EQ(call.task, expected[i].task);
    EXPECT_EQ(call.status, SIMCARD_OK);
    if (call.function == SIMCARD_WRITE_ANALOG_F64) {
      EXPECT_EQ(call.firstValue, 0.0);
    }
  }
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

TEST_F(DispatchTest, OutputsWriteOneSampleToEachTaskWithTheBlocksArguments) {
  input_[0] = 1.5;
  input_[1] = 2.5;
  simcardSetRecording(true);
  dispatch(kFlagOutputs);
  dispatch(kFlagOutputs);  // no change detection: the same input writes again

  ASSERT_EQ(simcardCallCount(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const SimcardCall call = simcardCallAt(i);
    EXPECT_EQ(call.function, SIMCARD_WRITE_ANALOG_F64);
    EXPECT_EQ(call.task, simcardChannelReservedBy(static_cast<int>(i % 2)));
    EXPECT_EQ(call.numSampsPerChan, 1);
    EXPECT_EQ(call.autoStart, 0u);
    EXPECT_EQ(call.timeout, 10.0);
    EXPECT_EQ(call.dataLayout, 0u);
    EXPECT_NE(call.sampsPerChanWritten, nullptr);
    EXPECT_EQ(call.reserved, nullptr);
    EXPECT_EQ(call.firstValue, i % 2 == 0 ? 1.5 : 2.5);
    EXPECT_EQ(call.status, SIMCARD_OK);
  }
}

// Input values pass to the driver unchanged; the card refuses what its
// channel's range does not allow, and the block carries on.
TEST_F(DispatchTest, OutputsPassValuesOutsideTheRangeUnchanged) {
  input_[0] = 7.5;
  input_[1] = -1.0;
  simcardSetRecording(true);
  dispatch(kFlagOutputs);
  ASSERT_EQ(simcardCallCount(), 2u);
  EXPECT_EQ(simcardCallAt(0).firstValue, 7.5);
  EXPECT_EQ(simcardCallAt(1).firstValue, -1.0);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

TEST_F(DispatchTest, AnUnconnectedInputShowsTheFatalErrorDialogAndWritesNothing) {
  standinConnectInput(record_, 0, nullptr);
  simcardSetRecording(true);
  dispatch(kFlagOutputs);

  ASSERT_EQ(standinDialogCount(), 1u);
  const StandinDialog dialog = standinDialog(0);
  EXPECT_STREQ(dialog.title, expected::kFatalTitle);
  EXPECT_STREQ(dialog.mode, expected::kFatalMode);
  EXPECT_EQ(dialog.message, expected::portUnconnected("twinvolts", "model/twinvolts", "1"));
  EXPECT_EQ(record_->hostInfo->fatalErrorFlag, 1);
  EXPECT_EQ(record_->errorMessage, nullptr);
  EXPECT_EQ(simcardCallCount(), 0u);
}

// Errors land in the root record and stay there through later successes.
TEST_F(DispatchTest, MessagesGoToTheRootRecordAndStay) {
  SFcnRecord* root = session("root", "model").record();
  record_->rootRecord = root;

  dispatch(200);
  EXPECT_STREQ(root->errorMessage, expected::kInvalidFlag);
  EXPECT_EQ(record_->errorMessage, nullptr);

  dispatch(kFlagSampleTimes);
  dispatch(kFlagOutputs);
  EXPECT_STREQ(root->errorMessage, expected::kInvalidFlag);

  dispatch(111);
  EXPECT_STREQ(root->errorMessage, slotRow(111).message);
  dispatch(kFlagOutputs);
  EXPECT_STREQ(root->errorMessage, slotRow(111).message);

  dispatch(kFlagZeroCrossings);
  EXPECT_STREQ(root->errorMessage, expected::kZeroCrossings);
  dispatch(kFlagTerminate);
  EXPECT_STREQ(root->errorMessage, expected::kZeroCrossings);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

}  // namespace
}  // namespace e2e
