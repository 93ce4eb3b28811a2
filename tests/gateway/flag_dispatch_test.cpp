// Method calls by flag. This program is linked with the block's five methods
// wrapped (-Wl,--wrap), so every call the dispatcher makes, to the block or
// to a record slot, lands in a recorder that keeps its arguments.
#include <cmath>
#include <limits>
#include <set>

#include "gateway/gateway.h"
#include "gateway_fixture.h"

namespace {

using namespace gateway_test;

// Tags of the block's own methods; slot recorders are tagged with their flag.
enum BlockTag {
  kSampleTimesTag = 1101,
  kVarHitTag = 1103,
  kOutputsTag = 1104,
  kShutdownTag = 1107,
  kZeroCrossingsTag = 1108,
  kSampleTimeSlotTag = 2111,
};

struct Call {
  int tag;
  SFcnRecord* record;
  int32_t port;
  SFcnArgWord value;
  double period;
  double offset;
};

std::vector<Call> calls;

void note(int tag, SFcnRecord* record, int32_t port = 0, SFcnArgWord value = 0, double period = 0.0,
          double offset = 0.0) {
  calls.push_back(Call{tag, record, port, value, period, offset});
}

template <int Tag>
void HOST_CALL recordMethod(SFcnRecord* r) {
  note(Tag, r);
}
template <int Tag>
void HOST_CALL recordPortArg(SFcnRecord* r, int32_t port, SFcnArgWord value) {
  note(Tag, r, port, value);
}
template <int Tag>
void HOST_CALL recordPortTime(SFcnRecord* r, int32_t port, double period, double offset) {
  note(Tag, r, port, 0, period, offset);
}
template <int Tag>
void HOST_CALL recordIntArg(SFcnRecord* r, int32_t argument) {
  note(Tag, r, argument);
}

}  // namespace

// The block's methods as the dispatcher reaches them in this program.
extern "C" {
void HOST_CALL __wrap_mdlDeclareSampleTimes(SFcnRecord* r) {
  note(kSampleTimesTag, r);
}
void HOST_CALL __wrap_varHitStub(SFcnRecord* r) {
  note(kVarHitTag, r);
}
void HOST_CALL __wrap_mdlOutputs(SFcnRecord* r, int32_t taskId) {
  note(kOutputsTag, r, taskId);
}
void HOST_CALL __wrap_mdlShutdown(SFcnRecord* r) {
  note(kShutdownTag, r);
}
void HOST_CALL __wrap_zeroCrossingsStub(SFcnRecord* r) {
  note(kZeroCrossingsTag, r);
}
}

namespace {

using twinvolts::dispatchFlag;

constexpr char kInvalidFlag[] = "Invalid flag encountered in simulink";

// The call arguments the host leaves in the record before a method call.
constexpr int32_t kPort = 7;
constexpr SFcnArgWord kValue = 0x5A5A;
constexpr double kPeriod = 0.25;
constexpr double kOffset = 0.125;
DimsDescriptor dims;

enum class Args { kRecord, kPortValue, kPortDims, kPortTimes, kIntArg };

struct SlotRow {
  int32_t flag;
  const char* message;
  Args args;
  void (*fill)(SFcnRecord*);
};

const SlotRow kSlotRows[] = {
    {111, "Unexpected call to mdlSetWorkWidths", Args::kRecord,
     [](SFcnRecord* r) { r->mdlSetWorkWidths = recordMethod<111>; }},
    {112, "Unexpected call to mdlCheckParameters", Args::kRecord,
     [](SFcnRecord* r) { r->mdlCheckParameters = recordMethod<112>; }},
    {113, "Unexpected call to mdlSetInputPortDataType", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetInputPortDataType = recordPortArg<113>; }},
    {114, "Unexpected call to mdlSetOutputPortDataType", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetOutputPortDataType = recordPortArg<114>; }},
    {115, "Unexpected call to mdlSetInputPortWidth", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetInputPortWidthOrDimsInfo = recordPortArg<115>; }},
    {116, "Unexpected call to mdlSetOutputPortWidth", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetOutputPortWidthOrDimsInfo = recordPortArg<116>; }},
    {120, "Unexpected call to mdlSetInputPortComplexSignal", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetInputPortComplexSignal = recordPortArg<120>; }},
    {121, "Unexpected call to mdlSetOutputPortComplexSignal", Args::kPortValue,
     [](SFcnRecord* r) { r->mdlSetOutputPortComplexSignal = recordPortArg<121>; }},
    {122, "Unexpected call to mdlSetInputPortSampleTime", Args::kPortTimes,
     [](SFcnRecord* r) { r->mdlSetInputPortSampleTime = recordPortTime<122>; }},
    {123, "Unexpected call to mdlSetOutputPortSampleTime", Args::kPortTimes,
     [](SFcnRecord* r) { r->mdlSetOutputPortSampleTime = recordPortTime<123>; }},
    {126, "Unexpected call to mdlSetInputPortDimensionInfo", Args::kPortDims,
     [](SFcnRecord* r) { r->mdlSetInputPortWidthOrDimsInfo = recordPortArg<126>; }},
    {127, "Unexpected call to mdlSetOutputPortDimensionInfo", Args::kPortDims,
     [](SFcnRecord* r) { r->mdlSetOutputPortWidthOrDimsInfo = recordPortArg<127>; }},
    {128, "Unexpected call to mdlSetInputPortFrameData", Args::kPortValue,
     [](SFcnRecord* r) { r->propagationMethods->mdlSetInputPortFrameData = recordPortArg<128>; }},
    {131, "Unexpected call to mdlSetDefaultPortDimensionInfo", Args::kRecord,
     [](SFcnRecord* r) {
       r->propagationMethods->mdlSetDefaultPortDimensionInfo = recordMethod<131>;
     }},
    {132, "Unexpected call to mdlSetDefaultPortDataTypes", Args::kRecord,
     [](SFcnRecord* r) { r->propagationMethods->mdlSetDefaultPortDataTypes = recordMethod<132>; }},
    {133, "Unexpected call to mdlSetDefaultPortComplexSignals", Args::kRecord,
     [](SFcnRecord* r) {
       r->propagationMethods->mdlSetDefaultPortComplexSignals = recordMethod<133>;
     }},
    {142, "Unexpected call to mdlInitializePropagationPass", Args::kIntArg,
     [](SFcnRecord* r) {
       r->propagationMethods->mdlInitializePropagationPass = recordIntArg<142>;
     }},
};

struct BlockRow {
  int32_t flag;
  int tag;
};
const BlockRow kBlockRows[] = {{101, kSampleTimesTag},
                               {103, kVarHitTag},
                               {104, kOutputsTag},
                               {107, kShutdownTag},
                               {108, kZeroCrossingsTag}};

bool needsDimensionInfo(int32_t flag) {
  return flag == 126 || flag == 127;
}

class FlagDispatch : public GatewayTest {
 protected:
  void SetUp() override {
    GatewayTest::SetUp();
    calls.clear();
    record = standinNewHostRecord(S_FUNCTION_NAME, "model/twinvolts");
    record->sizesBlock.callArgInt = kPort;
    record->hostInfo->callArgValue = kValue;
    record->hostInfo->callArgDims = &dims;
    record->hostInfo->callArgSampleTime = kPeriod;
    record->hostInfo->callArgOffsetTime = kOffset;
  }
  void TearDown() override {
    standinFreeHostRecord(record);
    GatewayTest::TearDown();
  }

  // A method call as the host makes it: the record's address in slot 2, the flag in rhs[3].
  void callFlagArray(const mxArray* flag) {
    mxArray* lhs[2] = {nullptr, reinterpret_cast<mxArray*>(record)};
    const mxArray* rhs[4] = {emptyDoubles(), emptyDoubles(), emptyDoubles(), flag};
    ASSERT_TRUE(standinCallMexFunction(mexFunction, -1, lhs, 4, rhs)) << standinLastError();
  }
  void callFlag(double flag) { callFlagArray(doubleScalar(flag)); }

  void fillEverySlot() {
    for (const SlotRow& row : kSlotRows) row.fill(record);
    record->mdlSampleTimes = recordMethod<kSampleTimeSlotTag>;
  }

  SFcnRecord* record = nullptr;
};

void expectArguments(const SlotRow& row, const Call& call, SFcnRecord* record) {
  EXPECT_EQ(call.tag, row.flag);
  EXPECT_EQ(call.record, record);
  switch (row.args) {
    case Args::kRecord:
      break;
    case Args::kPortValue:
      EXPECT_EQ(call.port, kPort);
      EXPECT_EQ(call.value, kValue);
      break;
    case Args::kPortDims:
      EXPECT_EQ(call.port, kPort);
      EXPECT_EQ(call.value, reinterpret_cast<SFcnArgWord>(&dims));
      break;
    case Args::kPortTimes:
      EXPECT_EQ(call.port, kPort);
      EXPECT_EQ(call.period, kPeriod);
      EXPECT_EQ(call.offset, kOffset);
      break;
    case Args::kIntArg:
      EXPECT_EQ(call.port, kPort);
      break;
  }
}

TEST_F(FlagDispatch, FilledSlotIsCalledWithItsArguments) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    calls.clear();
    row.fill(record);
    record->sizesBlock.portFlags = needsDimensionInfo(row.flag) ? SFCN_PORT_FLAG_DIMENSION_INFO : 0;
    callFlag(row.flag);
    ASSERT_EQ(calls.size(), 1u);
    expectArguments(row, calls[0], record);
    EXPECT_EQ(record->errorMessage, nullptr);
  }
}

TEST_F(FlagDispatch, EmptySlotPostsItsOwnMessage) {
  for (const SlotRow& row : kSlotRows) {
    SCOPED_TRACE(row.flag);
    record->sizesBlock.portFlags = needsDimensionInfo(row.flag) ? SFCN_PORT_FLAG_DIMENSION_INFO : 0;
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
      {126, 0, "Unexpected call to mdlSetInputPortDimensionInfo"},
      {127, 0, "Unexpected call to mdlSetOutputPortDimensionInfo"},
      {115, SFCN_PORT_FLAG_DIMENSION_INFO, "Unexpected call to mdlSetInputPortWidth"},
      {116, SFCN_PORT_FLAG_DIMENSION_INFO, "Unexpected call to mdlSetOutputPortWidth"},
      {126, SFCN_PORT_FLAG_DIMENSION_INFO, nullptr},
      {127, SFCN_PORT_FLAG_DIMENSION_INFO, nullptr},
      // Only bit 0 counts.
      {115, ~SFCN_PORT_FLAG_DIMENSION_INFO, nullptr},
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
      EXPECT_EQ(calls[0].value, dimsCall ? reinterpret_cast<SFcnArgWord>(&dims) : kValue);
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
    for (uint32_t portFlags : {0u, SFCN_PORT_FLAG_DIMENSION_INFO}) {
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
    int tag;  // 0: invalid flag
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
      {"2x1 starting 101", standinCreateDoubles(2, 1, std::vector<double>{101, 104}.data()),
       kSampleTimesTag},
      {"cell", standinCreateArray(mxCELL_CLASS, 1, 1, mxREAL), 0},
      {"empty double", standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL), 0},
      {"1x0 int8", standinCreateArray(mxINT8_CLASS, 1, 0, mxREAL), 0},
  };
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
  EXPECT_STREQ(posted, "Unexpected call to mdlSetWorkWidths");
  callFlag(104);
  callFlag(101);
  EXPECT_EQ(record->errorMessage, posted);
  callFlag(0);
  EXPECT_STREQ(record->errorMessage, kInvalidFlag);  // a later failure replaces it
}

TEST_F(FlagDispatch, MessagesGoToTheRootRecord) {
  SFcnRecord* root = standinNewHostRecord("root", "model");
  record->rootRecord = root;
  callFlag(112);
  EXPECT_STREQ(root->errorMessage, "Unexpected call to mdlCheckParameters");
  EXPECT_EQ(record->errorMessage, nullptr);

  // Without a root the record keeps the message itself instead of faulting.
  record->rootRecord = nullptr;
  callFlag(100);
  EXPECT_STREQ(record->errorMessage, kInvalidFlag);
  record->rootRecord = record;
  standinFreeHostRecord(root);
}

TEST_F(FlagDispatch, DispatchFlagDirectly) {
  // The same dispatcher without the host in between.
  dispatchFlag(record, 113);
  EXPECT_STREQ(record->errorMessage, "Unexpected call to mdlSetInputPortDataType");
  dispatchFlag(record, 107);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].tag, kShutdownTag);
}

}  // namespace
