// Method calls by flag. This program is linked with the block's five methods
// wrapped (-Wl,--wrap), so every call the dispatcher makes, to the block or
// to a record slot, lands in a recorder that keeps its arguments.
#include <cmath>
#include <limits>
#include <set>

#include "gateway/gateway.h"
#include "gateway_fixture.h"
#include "tests/support/slot_checks.h"

namespace {

using namespace gateway_test;
using namespace slots;
using expected::kInvalidFlag;

// Tags of the block's own methods; slot recorders are tagged with their flag.
enum BlockTag {
  kSampleTimesTag = 1101,
  kVarHitTag = 1103,
  kOutputsTag = 1104,
  kShutdownTag = 1107,
  kZeroCrossingsTag = 1108,
  kSampleTimeSlotTag = 2111,
};

}  // namespace

// The block's methods as the dispatcher reaches them in this program.
extern "C" {
void HOST_CALL __wrap_mdlDeclareSampleTimes(SFcnRecord* r) {
  noteCall(kSampleTimesTag, r);
}
void HOST_CALL __wrap_varHitStub(SFcnRecord* r) {
  noteCall(kVarHitTag, r);
}
void HOST_CALL __wrap_mdlOutputs(SFcnRecord* r, int32_t taskId) {
  noteCall(kOutputsTag, r, taskId);
}
void HOST_CALL __wrap_mdlShutdown(SFcnRecord* r) {
  noteCall(kShutdownTag, r);
}
void HOST_CALL __wrap_zeroCrossingsStub(SFcnRecord* r) {
  noteCall(kZeroCrossingsTag, r);
}
}

namespace {

using twinvolts::dispatchFlag;

std::vector<SlotCall>& calls = slotCalls();

struct BlockRow {
  int32_t flag;
  int tag;
};
const BlockRow kBlockRows[] = {{101, kSampleTimesTag},
                               {103, kVarHitTag},
                               {104, kOutputsTag},
                               {107, kShutdownTag},
                               {108, kZeroCrossingsTag}};

uint32_t portFlagsFor(const SlotRow& row) {
  return row.dimensionInfo ? 0x1u : 0u;
}

class FlagDispatch : public GatewayTest {
 protected:
  void SetUp() override {
    GatewayTest::SetUp();
    calls.clear();
    record = host().record();
    setCallArguments(record);
  }

  // A method call as the host makes it, leaving the error slot as it stands.
  void callFlagArray(const mxArray* flag) {
    ASSERT_TRUE(host().methodKeepingError(flag)) << standinLastError();
  }
  void callFlag(double flag) { ASSERT_TRUE(host().methodKeepingError(flag)) << host().error(); }

  void fillEverySlot() {
    for (const SlotRow& row : kSlotRows) row.fill(record, true);
    record->mdlSampleTimes = recordMethod<kSampleTimeSlotTag>;
  }

  SFcnRecord* record = nullptr;
};

TEST_F(FlagDispatch, FilledSlotIsCalledWithItsArguments) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    calls.clear();
    row.fill(record, true);
    record->sizesBlock.portFlags = portFlagsFor(row);
    callFlag(row.flag);
    ASSERT_EQ(calls.size(), 1u);
    expectCalledAsTheRowSays(row, calls[0], record);
    EXPECT_EQ(record->errorMessage, nullptr);
  }
}

TEST_F(FlagDispatch, EmptySlotPostsItsOwnMessage) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    record->sizesBlock.portFlags = portFlagsFor(row);
    callFlag(row.flag);
    EXPECT_STREQ(record->errorMessage, row.message);
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(FlagDispatch, PortFlagBitZeroPicksWidthOrDimensionInfo) {
  fillEverySlot();
  struct Case {
    int32_t flag;
    uint32_t portFlags;
    const char* message;  // null: the slot is called
  };
  const Case cases[] = {
      {115, 0, nullptr},
      {116, 0, nullptr},
      {126, 0, slotRow(126).message},
      {127, 0, slotRow(127).message},
      {115, 0x1u, slotRow(115).message},
      {116, 0x1u, slotRow(116).message},
      {126, 0x1u, nullptr},
      {127, 0x1u, nullptr},
      // Only bit 0 counts.
      {115, ~0x1u, nullptr},
      {126, ~0u, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flag << " portFlags " << c.portFlags);
    calls.clear();
    record->errorMessage = nullptr;
    record->sizesBlock.portFlags = c.portFlags;
    callFlag(c.flag);
    if (c.message == nullptr) {
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(record->errorMessage, nullptr);
      // The same slot, called as a width method with the value or as a
      // dimension-info method with the dimensions.
      const bool dimsCall = c.flag >= 126;
      EXPECT_EQ(calls[0].value, dimsCall ? reinterpret_cast<SFcnArgWord>(&callDims) : kCallValue);
    } else {
      EXPECT_TRUE(calls.empty());
      EXPECT_STREQ(record->errorMessage, c.message);
    }
  }
}

TEST_F(FlagDispatch, BlockFlagsCallTheBlockWhateverTheSlotsHold) {
  for (bool filled : {false, true}) {
    if (filled) fillEverySlot();
    for (const BlockRow& row : kBlockRows) {
      SCOPED_TRACE(testing::Message() << row.flag << (filled ? " filled" : " empty"));
      calls.clear();
      callFlag(row.flag);
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].tag, row.tag);
      EXPECT_EQ(calls[0].record, record);
      EXPECT_EQ(record->errorMessage, nullptr);
    }
  }
}

TEST_F(FlagDispatch, SampleTimesFlagIgnoresTheSampleTimeSlot) {
  record->mdlSampleTimes = recordMethod<kSampleTimeSlotTag>;
  callFlag(101);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].tag, kSampleTimesTag);
}

TEST_F(FlagDispatch, OutputsTaskIdIsMinusTwoOrZero) {
  const std::pair<int32_t, int32_t> cases[] = {{-2, -2}, {0, 0},         {3, 0},        {-1, 0},
                                               {-3, 0},  {INT32_MIN, 0}, {INT32_MAX, 0}};
  for (const auto& [callArgInt, taskId] : cases) {
    SCOPED_TRACE(callArgInt);
    calls.clear();
    record->sizesBlock.callArgInt = callArgInt;
    callFlag(104);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].port, taskId);
  }
}

TEST_F(FlagDispatch, EveryOtherFlagIsInvalid) {
  fillEverySlot();
  std::set<int32_t> valid;
  for (const SlotRow& row : kSlotRows) valid.insert(row.flag);
  for (const BlockRow& row : kBlockRows) valid.insert(row.flag);
  std::vector<int32_t> flags = {INT32_MIN, -1, 0, 1, 99, 100, 143, 200, INT32_MAX};
  for (int32_t f = 101; f <= 142; ++f)
    if (valid.count(f) == 0) flags.push_back(f);
  EXPECT_EQ(flags.size(), 9u + 42u - 22u);
  for (int32_t flag : flags) {
    SCOPED_TRACE(flag);
    record->errorMessage = nullptr;
    for (uint32_t portFlags : {0u, 0x1u}) {
      record->sizesBlock.portFlags = portFlags;
      callFlag(flag);
      EXPECT_STREQ(record->errorMessage, kInvalidFlag);
    }
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(FlagDispatch, FlagIsReadByClassAndTruncated) {
  struct Case {
    const char* name;
    const mxArray* flag;
    int tag;  // 0: invalid flag; a slot's tag is its flag
  };
  const Case cases[] = {
      {"104.7", doubleScalar(104.7), kOutputsTag},
      {"104.99", doubleScalar(104.99), kOutputsTag},
      {"NaN", doubleScalar(std::nan("")), 0},
      {"inf", doubleScalar(std::numeric_limits<double>::infinity()), 0},
      {"1e300", doubleScalar(1e300), 0},
      {"low word of 2^32 + 101", doubleScalar(4294967296.0 + 101.0), kSampleTimesTag},
      {"int32 104", standinCreateScalar(mxINT32_CLASS, 104), kOutputsTag},
      {"uint8 107", standinCreateScalar(mxUINT8_CLASS, 107), kShutdownTag},
      {"int16 103", standinCreateScalar(mxINT16_CLASS, 103), kVarHitTag},
      {"single 108.5", standinCreateScalar(mxSINGLE_CLASS, 108.5), kZeroCrossingsTag},
      {"int64 101", standinCreateScalar(mxINT64_CLASS, 101), kSampleTimesTag},
      {"uint64 101", standinCreateScalar(mxUINT64_CLASS, 101), kSampleTimesTag},
      // Every integer class at both ends of its range, and at a flag that only
      // its own reading (width and sign) gets right.
      {"int8 -128", standinCreateScalar(mxINT8_CLASS, -128), 0},
      {"int8 127", standinCreateScalar(mxINT8_CLASS, 127), 127},
      {"uint8 131", standinCreateScalar(mxUINT8_CLASS, 131), 131},
      {"uint8 142", standinCreateScalar(mxUINT8_CLASS, 142), 142},
      {"uint8 255", standinCreateScalar(mxUINT8_CLASS, 255), 0},
      {"int16 -32768", standinCreateScalar(mxINT16_CLASS, -32768), 0},
      {"int16 32767", standinCreateScalar(mxINT16_CLASS, 32767), 0},
      {"int16 131", standinCreateScalar(mxINT16_CLASS, 131), 131},
      {"uint16 65535", standinCreateScalar(mxUINT16_CLASS, 65535), 0},
      {"uint16 133", standinCreateScalar(mxUINT16_CLASS, 133), 133},
      {"int32 -2^31", standinCreateScalar(mxINT32_CLASS, -2147483648.0), 0},
      {"int32 2^31-1", standinCreateScalar(mxINT32_CLASS, 2147483647.0), 0},
      {"uint32 2^32-1", standinCreateScalar(mxUINT32_CLASS, 4294967295.0), 0},
      {"uint32 132", standinCreateScalar(mxUINT32_CLASS, 132), 132},
      {"int64 -2^63", standinCreateScalar(mxINT64_CLASS, -9223372036854775808.0), 0},
      {"int64 low word of 2^32 + 142", standinCreateScalar(mxINT64_CLASS, 4294967438.0), 142},
      {"int64 -2^32 + 128", standinCreateScalar(mxINT64_CLASS, -4294967168.0), 128},
      {"uint64 2^63", standinCreateScalar(mxUINT64_CLASS, 9223372036854775808.0), 0},
      {"uint64 2^64 - 2^11", standinCreateScalar(mxUINT64_CLASS, 18446744073709549568.0), 0},
      {"uint64 2^32 + 131", standinCreateScalar(mxUINT64_CLASS, 4294967427.0), 131},
      // A character is 16 bits: 360's low byte is 104.
      {"char 360", standinCreateScalar(mxCHAR_CLASS, 360), 0},
      {"char 104", standinCreateScalar(mxCHAR_CLASS, 104), kOutputsTag},
      {"2x1 starting 101", standinCreateDoubles(2, 1, std::vector<double>{101, 104}.data()),
       kSampleTimesTag},
      {"cell", standinCreateArray(mxCELL_CLASS, 1, 1, mxREAL), 0},
      {"empty double", standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL), 0},
      {"1x0 int8", standinCreateArray(mxINT8_CLASS, 1, 0, mxREAL), 0},
  };
  // Slots answer to their own flag: 126 and 127 in dimension-info mode.
  fillEverySlot();
  record->sizesBlock.portFlags |= 0x1u;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    calls.clear();
    record->errorMessage = nullptr;
    callFlagArray(c.flag);
    if (c.tag == 0) {
      EXPECT_TRUE(calls.empty());
      EXPECT_STREQ(record->errorMessage, kInvalidFlag);
    } else {
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].tag, c.tag);
    }
  }
}

TEST_F(FlagDispatch, RecordWithoutPropagationTablePostsTheRowMessage) {
  PropagationMethods* table = record->propagationMethods;
  record->propagationMethods = nullptr;
  for (const SlotRow& row : kSlotRows) {
    if (row.flag < 128) continue;
    SCOPED_TRACE(row.flag);
    record->errorMessage = nullptr;
    callFlag(row.flag);
    EXPECT_STREQ(record->errorMessage, row.message);
  }
  EXPECT_TRUE(calls.empty());
  record->propagationMethods = table;
}

TEST_F(FlagDispatch, MessageStaysUntilTheHostClearsIt) {
  callFlag(111);
  const char* posted = record->errorMessage;
  EXPECT_STREQ(posted, slotRow(111).message);
  callFlag(104);
  callFlag(101);
  EXPECT_EQ(record->errorMessage, posted);
  callFlag(0);
  EXPECT_STREQ(record->errorMessage, kInvalidFlag);  // a later failure replaces it
}

TEST_F(FlagDispatch, MessagesGoToTheRootRecord) {
  standin::BlockSession rootSession(mexFunction, "root", "model");
  SFcnRecord* root = rootSession.record();
  record->rootRecord = root;
  callFlag(112);
  EXPECT_STREQ(root->errorMessage, slotRow(112).message);
  EXPECT_EQ(record->errorMessage, nullptr);

  // Without a root the record keeps the message itself instead of faulting.
  record->rootRecord = nullptr;
  callFlag(100);
  EXPECT_STREQ(record->errorMessage, kInvalidFlag);
  record->rootRecord = record;
}

TEST_F(FlagDispatch, DispatchFlagDirectly) {
  // The same dispatcher without the host in between.
  dispatchFlag(record, 113);
  EXPECT_STREQ(record->errorMessage, slotRow(113).message);
  dispatchFlag(record, 107);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].tag, kShutdownTag);
}

}  // namespace
