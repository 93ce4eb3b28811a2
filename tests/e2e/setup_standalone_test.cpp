// Set-up calls without a host record: argument checks, the sizes vector of
// a record the module makes itself, and the driver calls of the block's set-up.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"
#include "tests/e2e/loaded_module.h"

namespace e2e {
namespace {

using StandaloneSetupTest = LoadedModuleTest;

// Sizes of the block's declared interface, as a made record carries them.
std::vector<double> declaredInterfaceRows() {
  std::vector<double> rows(38, 0.0);
  rows[3] = 1.0;         // one input port
  rows[6] = 1.0;         // one sample time
  rows[19] = 5200229.0;  // version stamp
  rows[23] = 8192.0;     // set-up done
  rows[31] = 2.0;        // port counts declared through the made record's hooks
  return rows;
}

void expectNoDriverCall() {
  EXPECT_EQ(simcardCallCount(), 0u);
  EXPECT_EQ(simcardOpenTaskCount(), 0);
}

TEST_F(StandaloneSetupTest, ReturnsTheBlocksSizesForZeroOrOneLeftHandSlot) {
  for (int nlhs : {0, 1}) {
    SCOPED_TRACE(nlhs);
    mxArray* sizes = nullptr;
    ASSERT_TRUE(host().setUpWith(nlhs, {empty(), empty(), empty(), scalar(0.0)}, &sizes))
        << standinLastError();
    EXPECT_EQ(sizesRows(sizes), declaredInterfaceRows());
  }
}

TEST_F(StandaloneSetupTest, CreatesConfiguresAndStartsOneTaskPerChannel) {
  simcardSetRecording(true);
  ASSERT_TRUE(setUp(empty())) << standinLastError();

  ASSERT_EQ(simcardCallCount(), 6u);
  TaskHandle handles[2] = {0, 0};
  const char* channels[2] = {"Dev1/ao0", "Dev1/ao1"};
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channels[channel]);
    const SimcardCall create = simcardCallAt(3 * channel);
    const SimcardCall configure = simcardCallAt(3 * channel + 1);
    const SimcardCall start = simcardCallAt(3 * channel + 2);

    EXPECT_EQ(create.function, SIMCARD_CREATE_TASK);
    EXPECT_STREQ(create.taskName, "");
    EXPECT_FALSE(create.taskNameIsNull);
    EXPECT_EQ(create.status, SIMCARD_OK);
    handles[channel] = create.task;

    EXPECT_EQ(configure.function, SIMCARD_CREATE_AO_VOLTAGE_CHAN);
    EXPECT_EQ(configure.task, handles[channel]);
    EXPECT_STREQ(configure.physicalChannel, channels[channel]);
    EXPECT_STREQ(configure.assignedName, "");
    EXPECT_FALSE(configure.assignedNameIsNull);
    EXPECT_EQ(configure.minVal, 0.0);
    EXPECT_EQ(configure.maxVal, 5.0);
    EXPECT_EQ(configure.units, 10348);
    EXPECT_TRUE(configure.scaleNameIsNull);
    EXPECT_EQ(configure.status, SIMCARD_OK);

    EXPECT_EQ(start.function, SIMCARD_START_TASK);
    EXPECT_EQ(start.task, handles[channel]);
    EXPECT_EQ(start.status, SIMCARD_OK);
  }
  EXPECT_NE(handles[0], handles[1]);
  // A set-up that only asks for the sizes leaves both tasks running.
  EXPECT_EQ(simcardOpenTaskCount(), 2);
  EXPECT_EQ(simcardChannelReservedBy(0), handles[0]);
  EXPECT_EQ(simcardChannelReservedBy(1), handles[1]);
}

TEST_F(StandaloneSetupTest, ASecondSetupReplacesTheTasksOfTheFirst) {
  ASSERT_TRUE(setUp(empty())) << standinLastError();
  simcardSetRecording(true);
  ASSERT_TRUE(setUp(empty())) << standinLastError();

  // The new tasks could not start while the old ones held the channels.
  EXPECT_EQ(simcardOpenTaskCount(), 2);
  for (size_t i = 0; i < simcardCallCount(); ++i) {
    EXPECT_EQ(simcardCallAt(i).status, SIMCARD_OK) << "driver call " << i;
  }
  EXPECT_NE(simcardChannelReservedBy(0), 0u);
  EXPECT_NE(simcardChannelReservedBy(1), 0u);
}

TEST_F(StandaloneSetupTest, BlockParametersStopTheBlocksSetupBeforeAnyPortOrTask) {
  simcardSetRecording(true);
  mxArray* sizes = nullptr;
  ASSERT_TRUE(host().setUpWith(
      1, {empty(), empty(), empty(), scalar(0.0), scalar(1.0), scalar(2.0)}, &sizes))
      << standinLastError();

  std::vector<double> expected(38, 0.0);
  expected[19] = 5200229.0;
  expected[23] = 8192.0;
  EXPECT_EQ(sizesRows(sizes), expected);
  expectNoDriverCall();
}

// Stand-alone mode is chosen for everything but a 2-row array ending in the stamp.
TEST_F(StandaloneSetupTest, AnythingButTheAttachArgumentSelectsStandaloneMode) {
  SFcnRecord* record = host().record();
  const double address = static_cast<double>(reinterpret_cast<uintptr_t>(record));
  struct Case {
    const char* what;
    mxArray* second;
  };
  const Case cases[] = {
      {"empty", empty()},
      {"2 rows, no columns", standinCreateArray(mxDOUBLE_CLASS, 2, 0, mxREAL)},
      {"3 rows ending in the stamp", doubles(3, 1, {address, 0.0, 5200229.0})},
      {"1 row", doubles(1, 2, {address, 5200229.0})},
      {"2 rows, wrong stamp", doubles(2, 1, {address, 5200228.0})},
      {"2 rows, stamp plus a half", doubles(2, 1, {address, 5200229.5})},
      // Classes too narrow for the stamp, never read: a host may store a
      // character in one byte.
      {"2 rows of char", standinCreateArray(mxCHAR_CLASS, 2, 1, mxREAL)},
      {"2 rows of logical", standinCreateArray(mxLOGICAL_CLASS, 2, 1, mxREAL)},
      {"2 rows of int8", standinCreateArray(mxINT8_CLASS, 2, 1, mxREAL)},
      {"2 rows of int16", standinCreateArray(mxINT16_CLASS, 2, 1, mxREAL)},
      // Sparse: the data hold only the stored elements.
      {"sparse, the stamp its one stored element", sparse(2, 1, {0.0, 5200229.0})},
      {"sparse, address and stamp", sparse(2, 1, {address, 5200229.0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mxArray* sizes = nullptr;
    ASSERT_TRUE(setUp(c.second, &sizes)) << standinLastError();
    EXPECT_EQ(sizesRows(sizes), declaredInterfaceRows());
    EXPECT_EQ(record->mdlInitializeSizes, nullptr);
    EXPECT_EQ(record->sizesBlock.versionStamp, 0);
    EXPECT_EQ(standinInputPortCountCalls(record), 0);
  }
}

struct ArgumentCase {
  const char* what;
  int nlhs;
  int nrhs;
  mxArray* flag;  // right-hand argument 4, when there is one
  const char* message;
};

TEST_F(StandaloneSetupTest, ChecksItsArgumentsInOrderWithExactMessages) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const ArgumentCase cases[] = {
      {"no arguments at all", 1, 0, nullptr, expected::kTooFewRightHand},
      {"3 right, 2 left", 2, 3, nullptr, expected::kTooFewRightHand},
      {"2 left, bad flag", 2, 4, scalar(0.5), expected::kTooManyLeftHand},
      {"flag 1x2", 1, 4, doubles(1, 2, {0.0, 0.0}), expected::kFlagNotInteger},
      {"flag empty", 1, 4, empty(), expected::kFlagNotInteger},
      {"flag complex", 1, 4, standinCreateArray(mxDOUBLE_CLASS, 1, 1, mxCOMPLEX),
       expected::kFlagNotInteger},
      {"flag text", 1, 4, mxCreateString("0"), expected::kFlagNotInteger},
      {"flag logical", 1, 4, scalar(0.0, mxLOGICAL_CLASS), expected::kFlagNotInteger},
      {"flag 0.5", 1, 4, scalar(0.5), expected::kFlagNotInteger},
      {"flag NaN", 1, 4, scalar(nan), expected::kFlagNotInteger},
      {"flag +inf", 1, 4, scalar(inf), expected::kFlagNotInteger},
      {"flag -inf", 1, 4, scalar(-inf), expected::kFlagNotInteger},
      {"flag 2^31", 1, 4, scalar(2147483648.0), expected::kFlagNotInteger},
      {"flag 2^32", 1, 4, scalar(4294967296.0), expected::kFlagNotInteger},
      {"flag -2^31-1", 1, 4, scalar(-2147483649.0), expected::kFlagNotInteger},
      {"single flag 0.5", 1, 4, scalar(0.5, mxSINGLE_CLASS), expected::kFlagNotInteger},
      {"flag 3", 1, 4, scalar(3.0), expected::kInvalidSetupFlag},
      {"flag -1", 1, 4, scalar(-1.0), expected::kInvalidSetupFlag},
      {"flag 101", 1, 4, scalar(101.0), expected::kInvalidSetupFlag},
      {"flag -2^31", 1, 4, scalar(-2147483648.0), expected::kInvalidSetupFlag},
      {"uint8 flag 3", 1, 4, scalar(3.0, mxUINT8_CLASS), expected::kInvalidSetupFlag},
      {"sparse flag 3", 1, 4, sparse(1, 1, {3.0}), expected::kInvalidSetupFlag},
      {"sparse flag 0.5", 1, 4, sparse(1, 1, {0.5}), expected::kFlagNotInteger},
      {"sparse logical flag", 1, 4, sparse(1, 1, {0.0}, mxLOGICAL_CLASS),
       expected::kFlagNotInteger},
  };
  simcardSetRecording(true);
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<const mxArray*> rhs = {empty(), empty(), empty(), c.flag};
    rhs.resize(static_cast<size_t>(c.nrhs));
    mxArray* sizes = nullptr;
    EXPECT_FALSE(host().setUpWith(c.nlhs, rhs, &sizes));
    EXPECT_STREQ(standinLastError(), c.message);
    EXPECT_EQ(sizes, nullptr);
  }
  expectNoDriverCall();
}

TEST_F(StandaloneSetupTest, AcceptsEveryFormOfFlagZero) {
  struct Case {
    const char* what;
    mxArray* flag;
  };
  const Case cases[] = {
      {"0.0", scalar(0.0)},
      {"-0.0", scalar(-0.0)},
      {"int32 0", scalar(0.0, mxINT32_CLASS)},
      {"single 0", scalar(0.0, mxSINGLE_CLASS)},
      {"uint8 0", scalar(0.0, mxUINT8_CLASS)},
      {"sparse 0, nothing stored", sparse(1, 1, {0.0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mxArray* sizes = nullptr;
    ASSERT_TRUE(host().setUpWith(1, {empty(), empty(), empty(), c.flag}, &sizes))
        << standinLastError();
    EXPECT_EQ(sizesRows(sizes), declaredInterfaceRows());
  }
}

}  // namespace
}  // namespace e2e
