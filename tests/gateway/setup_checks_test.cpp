// The set-up call's argument checks: exact messages, their order, and the
// FLAG values that pass.
#include <cmath>
#include <cstring>
#include <limits>

#include "gateway_fixture.h"

namespace {

using namespace gateway_test;
using expected::kFlagNotInteger;
using expected::kInvalidSetupFlag;
using expected::kTooFewRightHand;
using expected::kTooManyLeftHand;

class SetupChecks : public GatewayTest {};

// The texts the host shows have fixed lengths, the block's display name
// (33 characters) among them.
TEST_F(SetupChecks, MessagesHaveTheirFixedLengths) {
  const std::string invalidFlag = callSetup(1, setupArgs(doubleScalar(3.0))).error;
  EXPECT_EQ(invalidFlag.substr(std::strlen("Invalid flag passed to ")).size(), 33u);
  EXPECT_EQ(callSetup(1, {}).error.size(), 85u);
  EXPECT_EQ(callSetup(2, setupArgs(doubleScalar(0.0))).error.size(), 74u);
  EXPECT_EQ(callSetup(1, setupArgs(doubleScalar(0.5))).error.size(), 97u);
  EXPECT_EQ(invalidFlag.size(), 56u);
}

struct CountCase {
  int lhsCount;
  int rhsCount;
  std::string expected;  // empty: the call succeeds
};

TEST_F(SetupChecks, CountsAreCheckedRightHandFirst) {
  const CountCase cases[] = {
      {0, 0, kTooFewRightHand},
      {1, 3, kTooFewRightHand},
      {2, 3, kTooFewRightHand},  // rhs before lhs
      {2, 4, kTooManyLeftHand},
      {5, 6, kTooManyLeftHand},
      {1, 4, ""},
      {0, 4, ""},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "lhs " << c.lhsCount << " rhs " << c.rhsCount);
    std::vector<const mxArray*> rhs(c.rhsCount, emptyDoubles());
    if (c.rhsCount > 3) rhs[3] = doubleScalar(0.0);
    const SetupOutcome outcome = callSetup(c.lhsCount, rhs);
    EXPECT_EQ(outcome.returned, c.expected.empty());
    EXPECT_EQ(outcome.error, c.expected);
  }
}

TEST_F(SetupChecks, TooManyLeftHandSlotsComesBeforeTheFlag) {
  const SetupOutcome outcome = callSetup(2, setupArgs(emptyDoubles()));
  EXPECT_EQ(outcome.error, kTooManyLeftHand);
}

TEST_F(SetupChecks, LeftHandCountZeroStillReturnsTheSizes) {
  const SetupOutcome outcome = callSetup(0, setupArgs(doubleScalar(0.0)));
  ASSERT_TRUE(outcome.returned) << outcome.error;
  ASSERT_NE(outcome.sizes, nullptr);
  EXPECT_EQ(mxGetM(outcome.sizes), 38u);
  EXPECT_EQ(mxGetN(outcome.sizes), 1u);
  EXPECT_FALSE(mxIsComplex(outcome.sizes));
}

struct FlagCase {
  const char* name;
  mxArray* (*make)();
  std::string expected;
};

mxArray* complexZero() {
  return standinCreateArray(mxDOUBLE_CLASS, 1, 1, mxCOMPLEX);
}
mxArray* rowOfZeros() {
  return standinCreateArray(mxDOUBLE_CLASS, 1, 2, mxREAL);
}
mxArray* oneCharacter() {
  return mxCreateString("0");
}
mxArray* sparseScalar(double value) {
  return standinCreateSparse(mxDOUBLE_CLASS, 1, 1, &value, nullptr);
}
mxArray* logicalFalse() {
  return standinCreateScalar(mxLOGICAL_CLASS, 0.0);
}

TEST_F(SetupChecks, FlagIsOneRealNumberEqualToZero) {
  const FlagCase cases[] = {
      {"1x2", rowOfZeros, kFlagNotInteger},
      {"complex", complexZero, kFlagNotInteger},
      {"char", oneCharacter, kFlagNotInteger},
      {"logical", logicalFalse, kFlagNotInteger},
      {"empty", emptyDoubles, kFlagNotInteger},
      {"0.5", [] { return doubleScalar(0.5); }, kFlagNotInteger},
      {"NaN", [] { return doubleScalar(std::nan("")); }, kFlagNotInteger},
      {"inf", [] { return doubleScalar(std::numeric_limits<double>::infinity()); },
       kFlagNotInteger},
      {"2^31", [] { return doubleScalar(2147483648.0); }, kFlagNotInteger},
      {"2^32", [] { return doubleScalar(4294967296.0); }, kFlagNotInteger},  // low word 0
      {"3", [] { return doubleScalar(3.0); }, kInvalidSetupFlag},
      {"-1", [] { return doubleScalar(-1.0); }, kInvalidSetupFlag},
      {"int32 3", [] { return standinCreateScalar(mxINT32_CLASS, 3.0); }, kInvalidSetupFlag},
      {"single 0.5", [] { return standinCreateScalar(mxSINGLE_CLASS, 0.5); }, kFlagNotInteger},
      // Whole numbers beyond the signed 32-bit range, even when their low word is 0.
      {"int64 2^31", [] { return standinCreateScalar(mxINT64_CLASS, 2147483648.0); },
       kFlagNotInteger},
      {"uint64 2^32", [] { return standinCreateScalar(mxUINT64_CLASS, 4294967296.0); },
       kFlagNotInteger},
      {"int64 -2^31", [] { return standinCreateScalar(mxINT64_CLASS, -2147483648.0); },
       kInvalidSetupFlag},
      {"0", [] { return doubleScalar(0.0); }, ""},
      {"-0.0", [] { return doubleScalar(-0.0); }, ""},
      {"int32 0", [] { return standinCreateScalar(mxINT32_CLASS, 0.0); }, ""},
      {"uint8 0", [] { return standinCreateScalar(mxUINT8_CLASS, 0.0); }, ""},
      {"single 0", [] { return standinCreateScalar(mxSINGLE_CLASS, 0.0); }, ""},
      // Sparse: a zero is not stored, so nothing is there to read.
      {"sparse 0", [] { return sparseScalar(0.0); }, ""},
      {"sparse 3", [] { return sparseScalar(3.0); }, kInvalidSetupFlag},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SetupOutcome outcome = callSetup(1, setupArgs(c.make()));
    EXPECT_EQ(outcome.error, c.expected);
    EXPECT_EQ(outcome.returned, c.expected.empty());
    EXPECT_EQ(outcome.sizes != nullptr, c.expected.empty());
  }
}

TEST_F(SetupChecks, ArgumentsOneAndThreeAreNeverRead) {
  // Cells hold no numbers: reading them as numbers would be a fault.
  const mxArray* cell = standinCreateArray(mxCELL_CLASS, 1, 1, mxREAL);
  const SetupOutcome outcome = callSetup(1, {cell, emptyDoubles(), cell, doubleScalar(0.0)});
  EXPECT_TRUE(outcome.returned) << outcome.error;
}

TEST_F(SetupChecks, FailedChecksTouchNoCard) {
  simcardSetRecording(true);
  EXPECT_EQ(callSetup(1, setupArgs(doubleScalar(3.0))).error, kInvalidSetupFlag);
  EXPECT_EQ(simcardCallCount(), 0u);
}

}  // namespace
