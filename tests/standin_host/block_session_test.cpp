// The host session that tests and tools drive a block through: what each of
// its calls hands the entry point, and what it reports back. A fault here
// would weaken every test that plays the host through it.
#include "standin_host/block_session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/mex_api.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

// What the fake entry point was last given, and what it is to do.
struct Seen {
  int nlhs = 0;
  int nrhs = 0;
  const mxArray* second = nullptr;
  const mxArray* flag = nullptr;
  double flagValue = 0.0;
  SFcnRecord* record = nullptr;
};
Seen seen;
const char* posting = nullptr;  // what a method call posts in the error slot
bool refusingSetUp = false;

void HOST_CALL fakeEntry(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  seen = Seen{nlhs, nrhs, nrhs > 1 ? prhs[1] : nullptr, nrhs > 3 ? prhs[3] : nullptr};
  if (seen.flag != nullptr && mxGetClassID(seen.flag) == mxDOUBLE_CLASS && mxGetPr(seen.flag)) {
    seen.flagValue = mxGetPr(seen.flag)[0];
  }
  if (nlhs < 0) {
    seen.record = reinterpret_cast<SFcnRecord*>(plhs[1]);
    if (posting != nullptr) seen.record->rootRecord->errorMessage = posting;
    return;
  }
  if (refusingSetUp) mexErrMsgTxt("refused");
  for (int i = 0; i < std::max(nlhs, 1); ++i) plhs[i] = mxCreateDoubleMatrix(38, 1, mxREAL);
}

class BlockSessionTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    seen = Seen{};
    posting = nullptr;
    refusingSetUp = false;
  }
};

TEST_F(BlockSessionTest, SetUpCallsHandOverTheFirstResultAndDropTheRest) {
  standin::BlockSession session(fakeEntry, "twinvolts", "model/twinvolts");
  const size_t held = standinBytesHeld();
  const mxArray* empty = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
  mxArray* sizes = nullptr;
  ASSERT_TRUE(session.setUpWith(3, {empty, empty, empty, empty, empty}, &sizes));
  EXPECT_EQ(seen.nlhs, 3);
  EXPECT_EQ(seen.nrhs, 5);
  ASSERT_NE(sizes, nullptr);
  EXPECT_EQ(mxGetM(sizes), 38u);
  mxDestroyArray(sizes);
  mxDestroyArray(const_cast<mxArray*>(empty));
  EXPECT_EQ(standinBytesHeld(), held);  // the two other results were released

  ASSERT_TRUE(session.setUp());
  EXPECT_EQ(seen.second, session.attachArgument());
  EXPECT_EQ(seen.flagValue, 0.0);
  ASSERT_TRUE(session.standaloneSetUp());
  EXPECT_NE(seen.second, session.attachArgument());
  EXPECT_EQ(standinBytesHeld(), held);
}

TEST_F(BlockSessionTest, AFailedSetUpSaysWhyAndHandsNothingOver) {
  standin::BlockSession session(fakeEntry, "twinvolts", "model/twinvolts");
  refusingSetUp = true;
  mxArray* sizes = nullptr;
  EXPECT_FALSE(session.setUp(&sizes));
  EXPECT_EQ(sizes, nullptr);
  EXPECT_STREQ(session.error(), "refused");
}

TEST_F(BlockSessionTest, MethodClearsTheErrorSlotAndKeepingErrorLeavesIt) {
  standin::BlockSession session(fakeEntry, "twinvolts", "model/twinvolts");
  SFcnRecord* record = session.record();
  posting = "posted";
  EXPECT_FALSE(session.method(104));
  EXPECT_STREQ(session.error(), "posted");
  EXPECT_EQ(seen.record, record);
  EXPECT_EQ(seen.nlhs, -1);
  EXPECT_EQ(seen.flagValue, 104.0);
  posting = nullptr;
  EXPECT_TRUE(session.method(104));  // cleared before the call

  record->errorMessage = "earlier";
  EXPECT_TRUE(session.methodKeepingError(101.5));
  EXPECT_STREQ(record->errorMessage, "earlier");
  EXPECT_EQ(seen.flagValue, 101.5);
  const mxArray* ownFlag = seen.flag;
  const mxArray* given = standinCreateScalar(mxINT32_CLASS, 107);
  EXPECT_TRUE(session.methodKeepingError(given));
  EXPECT_EQ(seen.flag, given);
  session.bareMethod(103);  // the session's own array again
  EXPECT_EQ(seen.flag, ownFlag);
  EXPECT_EQ(seen.flagValue, 103.0);
}

}  // namespace
