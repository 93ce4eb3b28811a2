// The record the gateway makes for itself, and its two port-count hooks.
#include "gateway/gateway.h"
#include "gateway_fixture.h"
#include "tests/support/record_words.h"

namespace {

using namespace gateway_test;
using twinvolts::createStandaloneRecord;
using twinvolts::standaloneSetNumInputPorts;
using twinvolts::standaloneSetNumOutputPorts;

class StandaloneRecord : public GatewayTest {
 protected:
  void TearDown() override {
    standinReclaimCallMemory();
    GatewayTest::TearDown();
  }
};

TEST_F(StandaloneRecord, FieldsOfACreatedRecord) {
  std::vector<const mxArray*> rhs(4, emptyDoubles());
  SFcnRecord* record = createStandaloneRecord(4, rhs.data());
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->sfcnName, "twinvolts");
  EXPECT_STREQ(record->blockPath, "twinvolts");
  EXPECT_EQ(record->rootRecord, record);
  ASSERT_NE(record->hostInfo, nullptr);
  EXPECT_EQ(record->hostInfo->standaloneMark, 1);
  EXPECT_EQ(record->suppliedParamCount, 0);
  EXPECT_EQ(record->paramArrays, nullptr);
  EXPECT_EQ(record->setNumInputPortsFcn, &standaloneSetNumInputPorts);
  EXPECT_EQ(record->setNumInputPortsContext, record);
  EXPECT_EQ(record->setNumOutputPortsFcn, &standaloneSetNumOutputPorts);
  EXPECT_EQ(record->setNumOutputPortsContext, record);

  // Everything else is zero: clear what was named and compare with a blank record.
  SFcnRecord rest = *record;
  rest.sfcnName = rest.blockPath = nullptr;
  rest.rootRecord = nullptr;
  rest.hostInfo = nullptr;
  rest.setNumInputPortsFcn = rest.setNumOutputPortsFcn = nullptr;
  rest.setNumInputPortsContext = rest.setNumOutputPortsContext = nullptr;
  EXPECT_EQ(record_words::wordsChangedOutside(record_words::snapshot(SFcnRecord{}), &rest, {}),
            std::vector<std::string>{});

  HostInfo blankInfo = {};
  blankInfo.standaloneMark = 1;
  EXPECT_EQ(std::memcmp(record->hostInfo, &blankInfo, sizeof(HostInfo)), 0);
}

TEST_F(StandaloneRecord, ParameterCountFollowsTheRightHandCount) {
  struct Case {
    int rhsCount;
    int32_t params;
  };
  const Case cases[] = {{0, 0}, {3, 0}, {4, 0}, {5, 1}, {6, 2}, {9, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rhsCount);
    std::vector<const mxArray*> rhs;
    for (int i = 0; i < c.rhsCount; ++i) rhs.push_back(doubleScalar(i));
    SFcnRecord* record = createStandaloneRecord(c.rhsCount, rhs.data());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->suppliedParamCount, c.params);
    if (c.params == 0) {
      EXPECT_EQ(record->paramArrays, nullptr);
      continue;
    }
    ASSERT_NE(record->paramArrays, nullptr);
    for (int32_t i = 0; i < c.params; ++i) EXPECT_EQ(record->paramArrays[i], rhs[4 + i]);
  }
}

struct PortHook {
  const char* name;
  int(HOST_CALL* hook)(void*, int32_t);
  int32_t SFcnSizes::*count;
  bool (*arrayIsNull)(const SFcnRecord*);
};

const PortHook kPortHooks[] = {
    {"inputs", standaloneSetNumInputPorts, &SFcnSizes::inputPortCount,
     [](const SFcnRecord* r) { return r->inputPorts == nullptr; }},
    {"outputs", standaloneSetNumOutputPorts, &SFcnSizes::outputPortCount,
     [](const SFcnRecord* r) { return r->outputPorts == nullptr; }},
};

TEST_F(StandaloneRecord, PortHooksAcceptZeroAndRefuseNegativeCounts) {
  for (const PortHook& p : kPortHooks) {
    SCOPED_TRACE(p.name);
    std::vector<const mxArray*> rhs(4, emptyDoubles());
    SFcnRecord* record = createStandaloneRecord(4, rhs.data());

    EXPECT_EQ(p.hook(record, -1), 0);
    EXPECT_EQ(record->sizesBlock.*p.count, 0);
    EXPECT_EQ(record->sizesBlock.portFlags, 0u);

    record->sizesBlock.*p.count = 7;
    EXPECT_EQ(p.hook(record, 0), 1);
    EXPECT_EQ(record->sizesBlock.*p.count, 0);
    EXPECT_EQ(record->sizesBlock.portFlags, 0x2u);
    EXPECT_TRUE(p.arrayIsNull(record));

    record->sizesBlock.portFlags = 0x1u;
    EXPECT_EQ(p.hook(record, INT32_MIN), 0);
    EXPECT_EQ(record->sizesBlock.portFlags, 0x1u);
  }
}

TEST_F(StandaloneRecord, PositiveCountsGetFreshZeroFilledPorts) {
  std::vector<const mxArray*> rhs(4, emptyDoubles());
  SFcnRecord* record = createStandaloneRecord(4, rhs.data());

  ASSERT_EQ(standaloneSetNumInputPorts(record, 3), 1);
  EXPECT_EQ(record->sizesBlock.inputPortCount, 3);
  ASSERT_NE(record->inputPorts, nullptr);
  const InputPortInfo blankInput = {};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::memcmp(&record->inputPorts[i], &blankInput, sizeof blankInput), 0);
  record->inputPorts[2].width = 9;  // would fault under the sanitizer if the array were short
  InputPortInfo* first = record->inputPorts;
  ASSERT_EQ(standaloneSetNumInputPorts(record, 1), 1);
  EXPECT_NE(record->inputPorts, first);
  EXPECT_EQ(record->inputPorts[0].width, 0);

  ASSERT_EQ(standaloneSetNumOutputPorts(record, 2), 1);
  EXPECT_EQ(record->sizesBlock.outputPortCount, 2);
  ASSERT_NE(record->outputPorts, nullptr);
  record->outputPorts[1].attributes = 1;
  EXPECT_EQ(record->sizesBlock.portFlags, 0x2u);
}

TEST_F(StandaloneRecord, BlockParametersStopTheBlockBeforeTheCard) {
  simcardSetRecording(true);
  std::vector<const mxArray*> rhs = setupArgs(doubleScalar(0.0));
  rhs.push_back(doubleScalar(1.0));
  rhs.push_back(doubleScalar(2.0));
  const SetupOutcome outcome = callSetup(1, rhs);
  ASSERT_TRUE(outcome.returned) << outcome.error;
  EXPECT_EQ(outcome.row(7), 0.0);  // expected parameter count
  EXPECT_EQ(outcome.row(3), 0.0);  // no input port declared
  EXPECT_EQ(outcome.row(6), 0.0);
  EXPECT_EQ(outcome.row(19), 5200229.0);
  EXPECT_EQ(outcome.row(23), 8192.0);
  EXPECT_EQ(simcardCallCount(), 0u);
}

TEST_F(StandaloneRecord, PlainSetupOpensAndStartsBothChannels) {
  simcardSetRecording(true);
  const SetupOutcome outcome = callSetup(1, setupArgs(doubleScalar(0.0)));
  ASSERT_TRUE(outcome.returned) << outcome.error;
  int starts = 0;
  for (size_t i = 0; i < simcardCallCount(); ++i)
    if (simcardCallAt(i).function == SIMCARD_START_TASK) ++starts;
  EXPECT_EQ(starts, 2);
}

}  // namespace
