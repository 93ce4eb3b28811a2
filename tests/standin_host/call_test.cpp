#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "host/mex_api.h"
#include "simcard/simcard.h"
#include "standin_host/call_scope.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

// What the fake mexFunctions did, for the tests to read after the call.
struct Trace {
  bool reachedEnd;
  bool unwound;  // a frame between the error and the host was left by unwinding
  mxArray* made;
  void* block;
};
Trace trace;

void HOST_CALL allocateAndReturn(int nlhs, mxArray* plhs[], int, const mxArray*[]) {
  trace.block = mxCalloc(100, 8);
  trace.made = mxCreateString("temporary");
  if (nlhs >= 0) plhs[0] = mxCreateDoubleMatrix(38, 1, mxREAL);
  trace.reachedEnd = true;
}

struct UnwindWitness {
  ~UnwindWitness() { trace.unwound = true; }
};

void HOST_CALL allocateThenFail(int nlhs, mxArray* plhs[], int, const mxArray*[]) {
  UnwindWitness witness;
  trace.block = mxCalloc(16, 16);
  if (nlhs >= 0) plhs[0] = mxCreateDoubleMatrix(38, 1, mxREAL);
  // The module passes texts from its own stack.
  char message[64];
  std::snprintf(message, sizeof message, "Invalid flag passed to %s", "the block");
  mexErrMsgTxt(message);
  trace.reachedEnd = true;
}

void HOST_CALL callocTooMuch(int, mxArray*[], int, const mxArray*[]) {
  trace.block = mxCalloc(std::numeric_limits<size_t>::max() / 2, 4);
  trace.reachedEnd = true;
}

void HOST_CALL leaveEverything(int, mxArray*[], int, const mxArray*[]) {
  trace.reachedEnd = true;
}

class CallTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    trace = Trace{};
  }
};

TEST_F(CallTest, TheEndOfACallReclaimsItsMemoryButKeepsTheSetupResult) {
  mxArray* argument = standinCreateScalar(mxDOUBLE_CLASS, 0.0);
  size_t before = standinBytesHeld();
  mxArray* plhs[1] = {nullptr};
  const mxArray* prhs[1] = {argument};
  ASSERT_TRUE(standinCallMexFunction(allocateAndReturn, 0, plhs, 1, prhs));
  EXPECT_TRUE(trace.reachedEnd);
  EXPECT_STREQ(standinLastError(), "");
  ASSERT_NE(plhs[0], nullptr);
  EXPECT_EQ(mxGetM(plhs[0]), 38u);  // still live: the caller owns it now
  mxDestroyArray(plhs[0]);
  EXPECT_EQ(standinBytesHeld(), before);
  // The temporary string is gone; the host's own argument is not.
  EXPECT_EQ(mxGetM(trace.made), 0u);
  EXPECT_EQ(mxGetM(argument), 1u);
  EXPECT_EQ(standinBreachCount(), 1u);
}

TEST_F(CallTest, AMethodCallKeepsNothingAndNeverReadsItsRecordSlotAsAnArray) {
  int record = 0;  // stands for the record whose address a method call carries
  mxArray* plhs[2] = {nullptr, reinterpret_cast<mxArray*>(&record)};
  ASSERT_TRUE(standinCallMexFunction(allocateAndReturn, -1, plhs, 0, nullptr));
  EXPECT_EQ(plhs[1], reinterpret_cast<mxArray*>(&record));
  EXPECT_EQ(standinBytesHeld(), 0u);
  EXPECT_EQ(standinBreachCount(), 0u);
}

// Jumped over, or thrown through the frames between (not on 32-bit Windows).
struct Unwinding {
  StandinErrorUnwinding mode;
  bool framesUnwound;
};
#if defined(_WIN32) && !defined(_WIN64)
constexpr Unwinding kUnwindings[] = {{STANDIN_ERRORS_JUMP, false}};
#else
constexpr Unwinding kUnwindings[] = {{STANDIN_ERRORS_JUMP, false}, {STANDIN_ERRORS_THROW, true}};
#endif

TEST_F(CallTest, MexErrMsgTxtEndsTheCallWithACopyOfItsText) {
  for (const Unwinding& unwinding : kUnwindings) {
    SCOPED_TRACE(unwinding.mode);
    ASSERT_TRUE(standinSetErrorUnwinding(unwinding.mode));
    trace = Trace{};
    mxArray* plhs[1] = {nullptr};
    EXPECT_FALSE(standinCallMexFunction(allocateThenFail, 1, plhs, 0, nullptr));
    EXPECT_FALSE(trace.reachedEnd);
    EXPECT_EQ(trace.unwound, unwinding.framesUnwound);
    EXPECT_STREQ(standinLastError(), "Invalid flag passed to the block");
    // A failed call gives no result, and what it took is back.
    EXPECT_EQ(plhs[0], nullptr);
    EXPECT_EQ(standinBytesHeld(), 0u);

    // The next call that returns clears the error.
    EXPECT_TRUE(standinCallMexFunction(leaveEverything, 0, plhs, 0, nullptr));
    EXPECT_STREQ(standinLastError(), "");
  }
  EXPECT_TRUE(standinSetErrorUnwinding(STANDIN_ERRORS_JUMP));
#if defined(_WIN32) && !defined(_WIN64)
  EXPECT_FALSE(standinSetErrorUnwinding(STANDIN_ERRORS_THROW));
#endif
}

// Exit functions of this program's own file: one registration per file, the
// later one kept; each runs once, as a call an error ends alone.
int exitRuns[3];
void HOST_CALL firstExit() {
  ++exitRuns[0];
}
void HOST_CALL secondExit() {
  ++exitRuns[1];
}
void HOST_CALL failingExit() {
  ++exitRuns[2];
  mexErrMsgTxt("exit function failed");
}

TEST_F(CallTest, AModulesExitFunctionRunsOnceWhenItsFileIsUnloaded) {
  const void* thisFile = reinterpret_cast<const void*>(firstExit);
  struct Case {
    const char* what;
    std::vector<MexExitFunction> registered;
    const void* unloaded;  // null: the host's end
    std::array<int, 3> runs;
  };
  const Case cases[] = {
      {"the later replaces the earlier", {firstExit, secondExit}, thisFile, {0, 1, 0}},
      {"at the host's end", {firstExit}, nullptr, {1, 0, 0}},
      // A text of the card's library: an address in another file (a function
      // named here could be this program's own import stub).
      {"another file unloaded", {firstExit}, simcardStatusText(SIMCARD_OK), {0, 0, 0}},
      {"an error ends it alone", {failingExit}, thisFile, {0, 0, 1}},
  };
  for (const Unwinding& unwinding : kUnwindings) {
    ASSERT_TRUE(standinSetErrorUnwinding(unwinding.mode));
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << ", errors " << unwinding.mode);
      const size_t registrations = standinExitRegistrationCount();
      for (MexExitFunction f : c.registered) EXPECT_EQ(mexAtExit(f), 0);
      EXPECT_EQ(standinExitRegistrationCount() - registrations, c.registered.size());
      exitRuns[0] = exitRuns[1] = exitRuns[2] = 0;
      standinRunExitFunctions(c.unloaded);
      standinRunExitFunctions(c.unloaded);  // nothing is left to run twice
      EXPECT_EQ((std::array<int, 3>{exitRuns[0], exitRuns[1], exitRuns[2]}), c.runs);
      EXPECT_EQ(standinCallDepth(), 0);
      standinRunExitFunctions(nullptr);  // the next case starts with none
    }
  }
  EXPECT_TRUE(standinSetErrorUnwinding(STANDIN_ERRORS_JUMP));
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(CallTest, AnAllocationTheHostCannotMeetEndsTheCall) {
  EXPECT_FALSE(standinCallMexFunction(callocTooMuch, -1, nullptr, 0, nullptr));
  EXPECT_FALSE(trace.reachedEnd);
  EXPECT_NE(std::strstr(standinLastError(), "mxCalloc("), nullptr);
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(CallTest, ResultsTheCallerPutInTheSlotsStayTheCallers) {
  mxArray* own = standinCreateScalar(mxDOUBLE_CLASS, 7.0);
  mxArray* plhs[1] = {own};
  EXPECT_FALSE(standinCallMexFunction(callocTooMuch, 0, plhs, 0, nullptr));
  EXPECT_EQ(plhs[0], own);
  EXPECT_EQ(mxGetPr(own)[0], 7.0);
}

TEST_F(CallTest, OutsideACallModuleAllocationsWaitForAReclaim) {
  mxArray* hostMade = standinCreateScalar(mxINT8_CLASS, 1.0);
  size_t hostBytes = standinBytesHeld();
  void* block = mxCalloc(4, 4);
  mxArray* sizes = mxCreateDoubleMatrix(38, 1, mxREAL);
  ASSERT_NE(block, nullptr);
  EXPECT_GT(standinBytesHeld(), hostBytes);

  // A call in between leaves them alone.
  ASSERT_TRUE(standinCallMexFunction(leaveEverything, -1, nullptr, 0, nullptr));
  EXPECT_EQ(mxGetM(sizes), 38u);

  standinReclaimCallMemory();
  EXPECT_EQ(standinBytesHeld(), hostBytes);
  EXPECT_EQ(mxGetM(hostMade), 1u);
  standinReset();
  EXPECT_EQ(standinBytesHeld(), 0u);
}

TEST_F(CallTest, ManyCallsHoldNoMoreThanOne) {
  mxArray* plhs[1] = {nullptr};
  ASSERT_TRUE(standinCallMexFunction(allocateAndReturn, -1, plhs, 0, nullptr));
  size_t afterOne = standinBytesHeld();
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(standinCallMexFunction(allocateAndReturn, -1, plhs, 0, nullptr));
    ASSERT_FALSE(standinCallMexFunction(allocateThenFail, -1, plhs, 0, nullptr));
  }
  EXPECT_EQ(standinBytesHeld(), afterOne);
}

TEST_F(CallTest, ResetDuringACallIsRefused) {
  struct During {
    static void HOST_CALL reset(int, mxArray*[], int, const mxArray*[]) {
      trace.block = mxCalloc(1, 1);
      standinReset();
      trace.reachedEnd = *static_cast<unsigned char*>(trace.block) == 0;
    }
  };
  EXPECT_TRUE(standinCallMexFunction(During::reset, -1, nullptr, 0, nullptr));
  EXPECT_TRUE(trace.reachedEnd);
  ASSERT_EQ(standinBreachCount(), 1u);
  EXPECT_STREQ(standinBreach(0),
               "standinReset called during a mexFunction call; nothing was reset");
}

using CallDeathTest = CallTest;

TEST_F(CallDeathTest, MexErrMsgTxtOutsideACallIsABreachThatAborts) {
  EXPECT_DEATH(mexErrMsgTxt("no call to end"),
               "mexErrMsgTxt called outside a mexFunction call: no call to end");
}

}  // namespace
