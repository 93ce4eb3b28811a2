// Direct mode: attaching to the host's own record, the name check, and the
// six methods installed in its slots with nothing else disturbed.
#include <cstddef>
#include <set>

#include "block/twinvolts_block.h"
#include "gateway_fixture.h"
#include "tests/support/record_words.h"

namespace {

using namespace gateway_test;
using namespace record_words;

using DirectMode = GatewayTest;

void HOST_CALL hostMethod(SFcnRecord*) {}
void HOST_CALL hostPortMethod(SFcnRecord*, int32_t, SFcnArgWord) {}

// Fills every word of the record with a recognisable pattern, keeping only
// what the host and the block need to work with it.
void scribble(SFcnRecord* record) {
  SFcnRecord keep = *record;
  for (size_t offset = 0; offset + 4 <= sizeof(SFcnRecord); offset += 4) {
    const uint32_t word = 0xA5000000u + static_cast<uint32_t>(offset / 4);
    std::memcpy(reinterpret_cast<unsigned char*>(record) + offset, &word, sizeof word);
  }
  record->sfcnName = keep.sfcnName;
  record->blockPath = keep.blockPath;
  record->rootRecord = keep.rootRecord;
  record->errorMessage = nullptr;
  record->setNumInputPortsFcn = keep.setNumInputPortsFcn;
  record->setNumInputPortsContext = keep.setNumInputPortsContext;
  record->setNumOutputPortsFcn = keep.setNumOutputPortsFcn;
  record->setNumOutputPortsContext = keep.setNumOutputPortsContext;
  record->inputPorts = keep.inputPorts;
  record->outputPorts = keep.outputPorts;
  record->suppliedParamCount = 0;
  record->paramArrays = keep.paramArrays;
  record->propagationMethods = keep.propagationMethods;
  record->hostInfo = keep.hostInfo;
  record->samplePeriods = keep.samplePeriods;
  record->sampleOffsets = keep.sampleOffsets;
  // The optional slots hold host methods, which set-up must leave in place.
  record->mdlSetInputPortWidthOrDimsInfo = hostPortMethod;
  record->mdlSetWorkWidths = hostMethod;
  record->mdlCheckParameters = hostMethod;
  record->mdlInitializeSizes = hostMethod;
  record->mdlSampleTimes = hostMethod;
  record->mdlGetTimeOfNextVarHit = hostMethod;
  record->mdlOutputs = nullptr;
  record->mdlZeroCrossings = hostMethod;
  record->mdlTerminate = hostMethod;
}

TEST_F(DirectMode, InstallsSixMethodsAndChangesNothingElse) {
  SFcnRecord* record = host().record();
  scribble(record);
  const uint32_t flagsBefore = record->sizesBlock.sizesFlags;
  const auto before = snapshot(*record);

  const SetupOutcome outcome = attach(record);
  ASSERT_TRUE(outcome.returned) << outcome.error;

  EXPECT_EQ(record->mdlInitializeSizes, &mdlInitializeSizes);
  EXPECT_EQ(record->mdlSampleTimes, &mdlDeclareSampleTimes);
  EXPECT_EQ(record->mdlGetTimeOfNextVarHit, &varHitStub);
  EXPECT_EQ(record->mdlOutputs, &mdlOutputs);
  EXPECT_EQ(record->mdlZeroCrossings, &zeroCrossingsStub);
  EXPECT_EQ(record->mdlTerminate, &mdlShutdown);
  EXPECT_EQ(record->sizesBlock.versionStamp, 5200229);
  EXPECT_EQ(record->sizesBlock.sizesFlags, flagsBefore | 0x2000u);
  EXPECT_EQ(record->mdlSetInputPortWidthOrDimsInfo, &hostPortMethod);
  EXPECT_EQ(record->mdlSetWorkWidths, &hostMethod);
  EXPECT_EQ(record->errorMessage, nullptr);
  // The block ran on the host's record: one input port of width 2.
  EXPECT_EQ(record->sizesBlock.inputPortCount, 1);
  EXPECT_EQ(record->inputPorts[0].width, 2);
  EXPECT_EQ(outcome.row(3), 1.0);

  EXPECT_EQ(wordsChangedOutside(before, record, directSetUpWrites()), std::vector<std::string>{});
}

TEST_F(DirectMode, NameMismatchLeavesTheRecordUntouched) {
  const char* const names[] = {"other", "Twinvolts", "twinvolts ", "", "twin"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    SFcnRecord* record = standinNewHostRecord(name, "model/other");
    scribble(record);
    const auto before = snapshot(*record);

    const SetupOutcome outcome = attach(record);
    EXPECT_FALSE(outcome.returned);
    EXPECT_EQ(outcome.error, expected::nameMismatch(name));
    EXPECT_EQ(outcome.sizes, nullptr);
    EXPECT_EQ(wordsChangedOutside(before, record, {}), std::vector<std::string>{});
    EXPECT_EQ(standinInputPortCountCalls(record), 0);
    standinFreeHostRecord(record);
  }
}

TEST_F(DirectMode, LongHostNameIsCutToTheMessageBuffer) {
  const std::string longName(300, 'n');
  SFcnRecord* record = standinNewHostRecord(longName.c_str(), "model/other");
  const SetupOutcome outcome = attach(record);
  EXPECT_FALSE(outcome.returned);
  // 255 characters and the terminator fill the buffer; the text is the message's start.
  EXPECT_EQ(outcome.error.size(), 255u);
  EXPECT_EQ(outcome.error, expected::nameMismatch(longName).substr(0, 255));
  EXPECT_EQ(record->mdlInitializeSizes, nullptr);
  EXPECT_EQ(record->sizesBlock.versionStamp, 0);
  standinFreeHostRecord(record);
}

TEST_F(DirectMode, NameThatJustFitsIsWhole) {
  // 158 fixed characters plus a 97-character name make 255.
  const std::string name(97, 'm');
  SFcnRecord* record = standinNewHostRecord(name.c_str(), "model/other");
  const SetupOutcome outcome = attach(record);
  EXPECT_EQ(outcome.error, expected::nameMismatch(name));
  EXPECT_EQ(outcome.error.size(), 255u);
  standinFreeHostRecord(record);
}

TEST_F(DirectMode, NullHostNameIsAMismatch) {
  SFcnRecord* record = host().record();
  const char* saved = record->sfcnName;
  record->sfcnName = nullptr;
  const SetupOutcome outcome = attach(record);
  EXPECT_EQ(outcome.error, expected::nameMismatch(""));
  EXPECT_EQ(record->mdlInitializeSizes, nullptr);
  record->sfcnName = saved;
}

TEST_F(DirectMode, AttachArgumentShapesSelectTheMode) {
  SFcnRecord* record = host().record();
  const double address = mxGetPr(host().attachArgument())[0];
  struct Case {
    const char* name;
    size_t rows, columns;
    std::vector<double> values;
    bool direct;
  };
  const Case cases[] = {
      {"2x1 stamped", 2, 1, {address, 5200229.0}, true},
      {"2x2 stamped, columns not examined", 2, 2, {address, 5200229.0, 1.0, 2.0}, true},
      {"empty", 0, 0, {}, false},
      {"3x1 ending in the stamp", 3, 1, {address, 0.0, 5200229.0}, false},
      {"1x2", 1, 2, {address, 5200229.0}, false},
      {"2x1 stamp off by one", 2, 1, {address, 5200230.0}, false},
      {"2x1 stamp plus a fraction", 2, 1, {address, 5200229.5}, false},
      {"2x0", 2, 0, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    record->mdlInitializeSizes = nullptr;
    record->sizesBlock.versionStamp = 0;
    const mxArray* attachArg = standinCreateDoubles(c.rows, c.columns, c.values.data());
    const SetupOutcome outcome = callSetup(1, setupArgs(doubleScalar(0.0), attachArg));
    ASSERT_TRUE(outcome.returned) << outcome.error;
    EXPECT_EQ(record->mdlInitializeSizes != nullptr, c.direct);
    EXPECT_EQ(record->sizesBlock.versionStamp, c.direct ? 5200229 : 0);
  }
}

TEST_F(DirectMode, StampWithoutAnAddressIsRefused) {
  const double values[] = {0.0, 5200229.0};
  const SetupOutcome outcome =
      callSetup(1, setupArgs(doubleScalar(0.0), standinCreateDoubles(2, 1, values)));
  EXPECT_FALSE(outcome.returned);
  EXPECT_EQ(outcome.error, expected::kNullRecord);
}

}  // namespace
