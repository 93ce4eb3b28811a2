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

namespace e2e {
namespace {

// What the last optional method a test installed was called with.
struct SlotCall {
  int count = 0;
  SFcnRecord* record = nullptr;
  int32_t port = 0;
  SFcnArgWord argument = 0;
  double period = 0.0;
  double offset = 0.0;
};
SlotCall lastSlotCall;

void HOST_CALL recordMethod(SFcnRecord* record) {
  ++lastSlotCall.count;
  lastSlotCall.record = record;
}
void HOST_CALL recordPortArgMethod(SFcnRecord* record, int32_t port, SFcnArgWord argument) {
  recordMethod(record);
  lastSlotCall.port = port;
  lastSlotCall.argument = argument;
}
void HOST_CALL recordIntArgMethod(SFcnRecord* record, int32_t argument) {
  recordMethod(record);
  lastSlotCall.port = argument;
}
void HOST_CALL recordPortTimeMethod(SFcnRecord* record, int32_t port, double period,
                                    double offset) {
  recordMethod(record);
  lastSlotCall.port = port;
  lastSlotCall.period = period;
  lastSlotCall.offset = offset;
}

enum class Arguments { kRecord, kPortValue, kPortDims, kPortTimes, kPortOnly };

struct SlotRow {
  int flag;
  const char* message;  // when the slot is empty
  Arguments arguments;
  bool dimensionInfo;  // portFlags bit 0 this row needs to reach its slot
  void (*fill)(SFcnRecord* record, bool on);
};

template <typename Slot>
void setSlot(Slot& slot, Slot method, bool on) {
  slot = on ? method : nullptr;
}

const SlotRow kSlotRows[] = {
    {111, "Unexpected call to mdlSetWorkWidths", Arguments::kRecord, false,
     [](SFcnRecord* r, bool on) { setSlot<SFcnMethod>(r->mdlSetWorkWidths, recordMethod, on); }},
    {112, "Unexpected call to mdlCheckParameters", Arguments::kRecord, false,
     [](SFcnRecord* r, bool on) { setSlot<SFcnMethod>(r->mdlCheckParameters, recordMethod, on); }},
    {113, "Unexpected call to mdlSetInputPortDataType", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetInputPortDataType, recordPortArgMethod, on);
     }},
    {114, "Unexpected call to mdlSetOutputPortDataType", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetOutputPortDataType, recordPortArgMethod, on);
     }},
    {115, "Unexpected call to mdlSetInputPortWidth", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetInputPortWidthOrDimsInfo, recordPortArgMethod, on);
     }},
    {116, "Unexpected call to mdlSetOutputPortWidth", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetOutputPortWidthOrDimsInfo, recordPortArgMethod, on);
     }},
    {120, "Unexpected call to mdlSetInputPortComplexSignal", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetInputPortComplexSignal, recordPortArgMethod, on);
     }},
    {121, "Unexpected call to mdlSetOutputPortComplexSignal", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetOutputPortComplexSignal, recordPortArgMethod, on);
     }},
    {122, "Unexpected call to mdlSetInputPortSampleTime", Arguments::kPortTimes, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortTimeMethod>(r->mdlSetInputPortSampleTime, recordPortTimeMethod, on);
     }},
    {123, "Unexpected call to mdlSetOutputPortSampleTime", Arguments::kPortTimes, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortTimeMethod>(r->mdlSetOutputPortSampleTime, recordPortTimeMethod, on);
     }},
    {126, "Unexpected call to mdlSetInputPortDimensionInfo", Arguments::kPortDims, true,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetInputPortWidthOrDimsInfo, recordPortArgMethod, on);
     }},
    {127, "Unexpected call to mdlSetOutputPortDimensionInfo", Arguments::kPortDims, true,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->mdlSetOutputPortWidthOrDimsInfo, recordPortArgMethod, on);
     }},
    {128, "Unexpected call to mdlSetInputPortFrameData", Arguments::kPortValue, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnPortArgMethod>(r->propagationMethods->mdlSetInputPortFrameData,
                                  recordPortArgMethod, on);
     }},
    {131, "Unexpected call to mdlSetDefaultPortDimensionInfo", Arguments::kRecord, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnMethod>(r->propagationMethods->mdlSetDefaultPortDimensionInfo, recordMethod, on);
     }},
    {132, "Unexpected call to mdlSetDefaultPortDataTypes", Arguments::kRecord, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnMethod>(r->propagationMethods->mdlSetDefaultPortDataTypes, recordMethod, on);
     }},
    {133, "Unexpected call to mdlSetDefaultPortComplexSignals", Arguments::kRecord, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnMethod>(r->propagationMethods->mdlSetDefaultPortComplexSignals, recordMethod,
                           on);
     }},
    {142, "Unexpected call to mdlInitializePropagationPass", Arguments::kPortOnly, false,
     [](SFcnRecord* r, bool on) {
       setSlot<SFcnIntArgMethod>(r->propagationMethods->mdlInitializePropagationPass,
                                 recordIntArgMethod, on);
     }},
};

void fillEverySlot(SFcnRecord* record, bool on) {
  for (const SlotRow& row : kSlotRows) row.fill(record, on);
}

void setDimensionInfo(SFcnRecord* record, bool on) {
  if (on) {
    record->sizesBlock.portFlags |= SFCN_PORT_FLAG_DIMENSION_INFO;
  } else {
    record->sizesBlock.portFlags &= ~SFCN_PORT_FLAG_DIMENSION_INFO;
  }
}

class DispatchTest : public LoadedModuleTest {
 protected:
  void SetUp() override {
    LoadedModuleTest::SetUp();
    if (HasFatalFailure()) return;
    lastSlotCall = SlotCall{};
    record_ = hostRecord();
    setUpDirect(record_);
    standinConnectInput(record_, 0, input_);
    // The host's call arguments, all distinct.
    record_->sizesBlock.callArgInt = 7;
    record_->hostInfo->callArgValue = 0x1234;
    record_->hostInfo->callArgDims = &dims_;
    record_->hostInfo->callArgSampleTime = 0.25;
    record_->hostInfo->callArgOffsetTime = 0.125;
  }

  // A method call that must return normally, as every method call does.
  void dispatch(double flag) { ASSERT_TRUE(method(record_, flag)) << standinLastError(); }

  void expectCalledAsTheRowSays(const SlotRow& row) {
    EXPECT_EQ(lastSlotCall.count, 1);
    EXPECT_EQ(lastSlotCall.record, record_);
    switch (row.arguments) {
      case Arguments::kRecord:
        break;
      case Arguments::kPortOnly:
        EXPECT_EQ(lastSlotCall.port, 7);
        break;
      case Arguments::kPortValue:
        EXPECT_EQ(lastSlotCall.port, 7);
        EXPECT_EQ(lastSlotCall.argument, 0x1234);
        break;
      case Arguments::kPortDims:
        EXPECT_EQ(lastSlotCall.port, 7);
        EXPECT_EQ(lastSlotCall.argument, reinterpret_cast<SFcnArgWord>(&dims_));
        break;
      case Arguments::kPortTimes:
        EXPECT_EQ(lastSlotCall.port, 7);
        EXPECT_EQ(lastSlotCall.period, 0.25);
        EXPECT_EQ(lastSlotCall.offset, 0.125);
        break;
    }
  }

  SFcnRecord* record_ = nullptr;
  double input_[2] = {1.0, 2.0};
  DimsDescriptor dims_{};
};

TEST_F(DispatchTest, CallsAFilledOptionalSlotWithTheHostsArguments) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    lastSlotCall = SlotCall{};
    setDimensionInfo(record_, row.dimensionInfo);
    row.fill(record_, true);
    dispatch(row.flag);
    expectCalledAsTheRowSays(row);
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
    lastSlotCall = SlotCall{};
    setDimensionInfo(record_, !row.dimensionInfo);
    row.fill(record_, true);
    record_->errorMessage = nullptr;
    dispatch(row.flag);
    EXPECT_EQ(lastSlotCall.count, 0);
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
      EXPECT_STREQ(record_->errorMessage, kInvalidFlagMessage);
    }
  }
  EXPECT_EQ(lastSlotCall.count, 0);
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
  record_->mdlSampleTimes = recordMethod;  // flag 101 must not call this
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
  EXPECT_STREQ(record_->errorMessage, kVarHitMessage);
  dispatch(kFlagZeroCrossings);
  EXPECT_STREQ(record_->errorMessage, kZeroCrossingsMessage);

  dispatch(kFlagTerminate);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
  EXPECT_EQ(lastSlotCall.count, 0);
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
  EXPECT_STREQ(dialog.title, "Fatal Error");
  EXPECT_STREQ(dialog.mode, "modal");
  EXPECT_STREQ(
      dialog.message,
      "S-function 'twinvolts' in block 'model/twinvolts' is attempting to access the signal "
      "from input port '1' in one its methods. However, the S-function's mdlInitializeSizes "
      "routine did not register the ssSetInputPortDirectFeedThrough macro or the direct "
      "feedthrough flag has been set to zero. This will cause a segmentation violation. Please "
      "verify that the ssSetInputPortDirectFeedThrough is declared in mdlInitializeSizes and the "
      "direct feedthrough flag is set to one when accessing the input port signals in the "
      "mdlOutputs and/or mdlGetTimeOfNextVarHit method(s).");
  EXPECT_EQ(record_->hostInfo->fatalErrorFlag, 1);
  EXPECT_EQ(record_->errorMessage, nullptr);
  EXPECT_EQ(simcardCallCount(), 0u);
}

// Errors land in the root record and stay there through later successes.
TEST_F(DispatchTest, MessagesGoToTheRootRecordAndStay) {
  SFcnRecord* root = hostRecord("root", "model");
  record_->rootRecord = root;

  dispatch(200);
  EXPECT_STREQ(root->errorMessage, kInvalidFlagMessage);
  EXPECT_EQ(record_->errorMessage, nullptr);

  dispatch(kFlagSampleTimes);
  dispatch(kFlagOutputs);
  EXPECT_STREQ(root->errorMessage, kInvalidFlagMessage);

  dispatch(111);
  EXPECT_STREQ(root->errorMessage, "Unexpected call to mdlSetWorkWidths");
  dispatch(kFlagOutputs);
  EXPECT_STREQ(root->errorMessage, "Unexpected call to mdlSetWorkWidths");

  dispatch(kFlagZeroCrossings);
  EXPECT_STREQ(root->errorMessage, kZeroCrossingsMessage);
  dispatch(kFlagTerminate);
  EXPECT_STREQ(root->errorMessage, kZeroCrossingsMessage);
  EXPECT_EQ(record_->errorMessage, nullptr);
}

}  // namespace
}  // namespace e2e
