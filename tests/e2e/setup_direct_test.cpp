// Set-up calls on a host-owned record: the name check, the six installed
// slots, and nothing else written but what the block's set-up declares.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/loaded_module.h"
#include "tests/support/record_words.h"

namespace e2e {
namespace {

using namespace record_words;

using DirectSetupTest = LoadedModuleTest;

void HOST_CALL hostWorkWidths(SFcnRecord*) {}
void HOST_CALL hostPortMethod(SFcnRecord*, int32_t, SFcnArgWord) {}

// Optional slots a host may have filled before set-up; set-up must keep them.
void fillOptionalSlots(SFcnRecord* record) {
  record->mdlSetWorkWidths = hostWorkWidths;
  record->mdlCheckParameters = hostWorkWidths;
  record->mdlSetInputPortWidthOrDimsInfo = hostPortMethod;
  record->mdlSetInputPortComplexSignal = hostPortMethod;
  record->propagationMethods->mdlSetDefaultPortDataTypes = hostWorkWidths;
}

// Sizes entry k as the vector must carry it.
double expectedRow(const SFcnRecord* record, int k) {
  uint32_t word;
  std::memcpy(&word, reinterpret_cast<const char*>(&record->sizesBlock) + 4 * k, 4);
  const bool asUnsigned = (k >= 15 && k <= 18) || k == 23;
  return asUnsigned ? static_cast<double>(word) : static_cast<double>(static_cast<int32_t>(word));
}

void expectSizesVectorOf(const SFcnRecord* record, const mxArray* sizes) {
  const std::vector<double> rows = sizesRows(sizes);
  ASSERT_EQ(rows.size(), 38u);
  for (int k = 0; k < 38; ++k) EXPECT_EQ(rows[k], expectedRow(record, k)) << "row " << k;
}

TEST_F(DirectSetupTest, InstallsTheSixSlotsAndWritesNothingElse) {
  standin::BlockSession& block = session();
  SFcnRecord* record = block.record();
  markHostWords(record);
  fillOptionalSlots(record);
  const uint32_t flagsBefore = record->sizesBlock.sizesFlags;
  const auto recordBefore = snapshot(*record);
  const auto hostInfoBefore = snapshot(*record->hostInfo);
  const auto propagationBefore = snapshot(*record->propagationMethods);

  mxArray* sizes = nullptr;
  ASSERT_TRUE(block.setUp(&sizes)) << block.error();

  EXPECT_EQ(wordsChangedOutside(recordBefore, record, directSetUpWrites()),
            std::vector<std::string>{});
  EXPECT_EQ(wordsChangedOutside(hostInfoBefore, record->hostInfo, {}), std::vector<std::string>{});
  EXPECT_EQ(wordsChangedOutside(propagationBefore, record->propagationMethods, {}),
            std::vector<std::string>{});

  const std::set<void*> slots = {
      reinterpret_cast<void*>(record->mdlInitializeSizes),
      reinterpret_cast<void*>(record->mdlSampleTimes),
      reinterpret_cast<void*>(record->mdlGetTimeOfNextVarHit),
      reinterpret_cast<void*>(record->mdlOutputs),
      reinterpret_cast<void*>(record->mdlZeroCrossings),
      reinterpret_cast<void*>(record->mdlTerminate),
  };
  EXPECT_EQ(slots.size(), 6u);
  EXPECT_EQ(slots.count(nullptr), 0u);

  const SFcnSizes& declared = record->sizesBlock;
  EXPECT_EQ(declared.expectedParamCount, 0);
  EXPECT_EQ(declared.inputPortCount, 1);
  EXPECT_EQ(declared.outputPortCount, 0);
  EXPECT_EQ(declared.sampleTimeCount, 1);
  EXPECT_EQ(declared.versionStamp, 5200229);
  EXPECT_EQ(declared.sizesFlags, flagsBefore | 0x2000u);
  EXPECT_EQ(standinInputPortCountCalls(record), 1);
  EXPECT_EQ(standinOutputPortCountCalls(record), 1);

  ASSERT_NE(record->inputPorts, nullptr);
  const InputPortInfo& port = record->inputPorts[0];
  EXPECT_EQ(port.width, 2);
  EXPECT_EQ(port.directFeedThrough, 1);
  EXPECT_EQ(port.attributes, 0x20u);
  EXPECT_EQ(port.signal, nullptr);

  expectSizesVectorOf(record, sizes);
  EXPECT_EQ(record->errorMessage, nullptr);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(simcardOpenTaskCount(), 2);
}

TEST_F(DirectSetupTest, CarriesHostWordsIntoTheSizesVectorSignedOrUnsigned) {
  standin::BlockSession& block = session();
  SFcnRecord* record = block.record();
  record->sizesBlock.reserved11[3] = -1;             // entry 14: signed
  record->sizesBlock.hostUnsigned[0] = 0xFFFFFFFFu;  // entry 15: unsigned
  record->sizesBlock.hostUnsigned[3] = 0x80000000u;  // entry 18: unsigned
  record->sizesBlock.reserved32[5] = INT32_MIN;      // entry 37: signed
  record->sizesBlock.sizesFlags = 0x80000000u;       // entry 23: unsigned

  mxArray* sizes = nullptr;
  ASSERT_TRUE(block.setUp(&sizes)) << block.error();
  const std::vector<double> rows = sizesRows(sizes);
  ASSERT_EQ(rows.size(), 38u);
  EXPECT_EQ(rows[14], -1.0);
  EXPECT_EQ(rows[15], 4294967295.0);
  EXPECT_EQ(rows[18], 2147483648.0);
  EXPECT_EQ(rows[23], 2147491840.0);
  EXPECT_EQ(rows[37], -2147483648.0);
  expectSizesVectorOf(record, sizes);
}

TEST_F(DirectSetupTest, RefusesARecordMadeForAnotherName) {
  const char* names[] = {"twinvolt", "TwinVolts", "twinvolts ", "", "simulink_only_sfcn"};
  simcardSetRecording(true);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    standin::BlockSession& block = session(name);
    SFcnRecord* record = block.record();
    markHostWords(record);
    const auto recordBefore = snapshot(*record);
    const auto hostInfoBefore = snapshot(*record->hostInfo);

    EXPECT_FALSE(block.setUp());
    EXPECT_EQ(standinLastError(), expected::nameMismatch(name));
    EXPECT_EQ(wordsChangedOutside(recordBefore, record, {}), std::vector<std::string>{});
    EXPECT_EQ(wordsChangedOutside(hostInfoBefore, record->hostInfo, {}),
              std::vector<std::string>{});
    EXPECT_EQ(standinInputPortCountCalls(record), 0);
  }
  EXPECT_EQ(simcardCallCount(), 0u);
}

TEST_F(DirectSetupTest, ChecksTheFlagBeforeTheName) {
  standin::BlockSession& block = session("other");
  EXPECT_FALSE(block.setUpWith(1, {empty(), block.attachArgument(), empty(), scalar(3.0)}));
  EXPECT_STREQ(standinLastError(), expected::kInvalidSetupFlag);
  EXPECT_FALSE(block.setUpWith(2, {empty(), block.attachArgument(), empty(), scalar(0.0)}));
  EXPECT_STREQ(standinLastError(), expected::kTooManyLeftHand);
}

TEST_F(DirectSetupTest, BoundsTheMismatchMessageOfAVeryLongName) {
  const std::string name(300, 'n');
  standin::BlockSession& block = session(name.c_str());
  SFcnRecord* record = block.record();
  const auto recordBefore = snapshot(*record);

  EXPECT_FALSE(block.setUp());
  const std::string message = standinLastError();
  const std::string full = expected::nameMismatch(name);
  EXPECT_GE(message.size(), 158u);
  EXPECT_LE(message.size(), 255u);
  EXPECT_EQ(full.substr(0, message.size()), message);
  EXPECT_EQ(wordsChangedOutside(recordBefore, record, {}), std::vector<std::string>{});
}

TEST_F(DirectSetupTest, ReadsTheAttachArgumentByRowsAlone) {
  SFcnRecord* record = host().record();
  const double address = static_cast<double>(reinterpret_cast<uintptr_t>(record));
  // Two rows and two columns: element 1 (column-major) is the stamp.
  ASSERT_TRUE(setUp(doubles(2, 2, {address, 5200229.0, 1.0, 2.0}))) << standinLastError();
  EXPECT_NE(record->mdlOutputs, nullptr);
  EXPECT_EQ(record->sizesBlock.versionStamp, 5200229);
}

TEST_F(DirectSetupTest, RefusesANullRecordAddress) {
  simcardSetRecording(true);
  EXPECT_FALSE(setUp(doubles(2, 1, {0.0, 5200229.0})));
  EXPECT_STREQ(standinLastError(), expected::kNullRecord);
  EXPECT_EQ(simcardCallCount(), 0u);
}

TEST_F(DirectSetupTest, ARecordWithoutANameIsAMismatch) {
  standin::BlockSession& block = session();
  SFcnRecord* record = block.record();
  const char* ownName = record->sfcnName;
  record->sfcnName = nullptr;
  EXPECT_FALSE(block.setUp());
  EXPECT_EQ(standinLastError(), expected::nameMismatch(""));
  EXPECT_EQ(record->mdlInitializeSizes, nullptr);
  record->sfcnName = ownName;  // the host releases its own text
}

TEST_F(DirectSetupTest, SuppliedParametersStopTheBlockBeforeItsPorts) {
  standin::BlockSession& block = session();
  SFcnRecord* record = block.record();
  record->suppliedParamCount = 1;
  simcardSetRecording(true);
  mxArray* sizes = nullptr;
  ASSERT_TRUE(block.setUp(&sizes)) << block.error();

  EXPECT_NE(record->mdlTerminate, nullptr);  // the slots are installed all the same
  EXPECT_EQ(standinInputPortCountCalls(record), 0);
  EXPECT_EQ(simcardCallCount(), 0u);
  expectSizesVectorOf(record, sizes);
}

// The installed slots do the block's work when the host calls them itself.
TEST_F(DirectSetupTest, InstalledSlotsWorkWithoutMexFunction) {
  standin::BlockSession& block = session();
  SFcnRecord* record = block.record();
  ASSERT_TRUE(block.setUp()) << block.error();
  double input[2] = {1.25, 3.5};
  standinConnectInput(record, 0, input);
  record->samplePeriods[0] = 99.0;
  record->sampleOffsets[0] = 99.0;

  record->mdlSampleTimes(record);
  EXPECT_EQ(record->samplePeriods[0], -1.0);
  EXPECT_EQ(record->sampleOffsets[0], 0.0);

  record->mdlOutputs(record, 0);
  EXPECT_EQ(simcardOutputVolts(0), 1.25);
  EXPECT_EQ(simcardOutputVolts(1), 3.5);
  EXPECT_EQ(record->errorMessage, nullptr);

  record->mdlGetTimeOfNextVarHit(record);
  EXPECT_STREQ(record->errorMessage, expected::kVarHit);
  record->mdlZeroCrossings(record);
  EXPECT_STREQ(record->errorMessage, expected::kZeroCrossings);

  record->mdlTerminate(record);
  EXPECT_EQ(simcardOutputVolts(0), 0.0);
  EXPECT_EQ(simcardOutputVolts(1), 0.0);
  EXPECT_EQ(simcardOpenTaskCount(), 0);

  record->mdlInitializeSizes(record);
  EXPECT_EQ(simcardOpenTaskCount(), 2);
  EXPECT_EQ(standinInputPortCountCalls(record), 2);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_STREQ(standinLastError(), "");
}

}  // namespace
}  // namespace e2e
