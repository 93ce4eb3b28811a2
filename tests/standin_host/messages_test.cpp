#include <gtest/gtest.h>

#include <string>

#include "host/mex_api.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

namespace {

class MessagesTest : public FreshHostTest {
 protected:
  void TearDown() override {
    standinSetEcho(false);
    FreshHostTest::TearDown();
  }
};

TEST_F(MessagesTest, WarningsAreKeptAsCopiesInOrder) {
  char text[] = "first";
  mexWarnMsgTxt(text);
  text[0] = 'F';  // the module may reuse its buffer
  mexWarnMsgTxt("second");
  ASSERT_EQ(standinWarningCount(), 2u);
  EXPECT_STREQ(standinWarning(0), "first");
  EXPECT_STREQ(standinWarning(1), "second");
  EXPECT_EQ(standinWarning(2), nullptr);
}

TEST_F(MessagesTest, AnErrorDialogIsLoggedWithItsThreeTexts) {
  mxArray* prhs[3] = {mxCreateString("port 2 does not exist"), mxCreateString("Fatal Error"),
                      mxCreateString("modal")};
  EXPECT_EQ(mexCallMATLAB(0, nullptr, 3, prhs, "errordlg"), 0);
  standinReclaimCallMemory();  // the dialog keeps its own copies
  ASSERT_EQ(standinDialogCount(), 1u);
  StandinDialog dialog = standinDialog(0);
  EXPECT_STREQ(dialog.message, "port 2 does not exist");
  EXPECT_STREQ(dialog.title, "Fatal Error");
  EXPECT_STREQ(dialog.mode, "modal");
  EXPECT_EQ(standinDialog(1).message, nullptr);
  EXPECT_EQ(standinBreachCount(), 0u);
}

TEST_F(MessagesTest, EchoPrintsWhatAUserShouldSee) {
  standinSetEcho(true);
  mxArray* prhs[3] = {mxCreateString("message"), mxCreateString("Fatal Error"),
                      mxCreateString("modal")};
  testing::internal::CaptureStderr();
  mexWarnMsgTxt("careful");
  mexCallMATLAB(0, nullptr, 3, prhs, "errordlg");
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "Warning: careful\nFatal Error (modal dialog): message\n");
}

TEST_F(MessagesTest, CallsTheHostCannotServeAreBreachesInPlainWords) {
  mxArray* text = mxCreateString("text");
  mxArray* number = mxCreateDoubleMatrix(1, 1, mxREAL);
  mxArray* three[3] = {text, text, text};
  mxArray* withNumber[3] = {text, number, text};
  mxArray* outputs[1] = {nullptr};
  const struct {
    int nlhs;
    int nrhs;
    mxArray** prhs;
    const char* function;
    const char* breach;
  } cases[] = {
      {0, 3, three, "xyz", "mexCallMATLAB called with unknown function 'xyz'"},
      {0, 3, three, nullptr, "mexCallMATLAB called without a function name"},
      {1, 3, three, "errordlg",
       "mexCallMATLAB called errordlg with 1 outputs and 3 inputs; it takes no outputs and 3 "
       "texts (message, title, mode)"},
      {0, 2, three, "errordlg",
       "mexCallMATLAB called errordlg with 0 outputs and 2 inputs; it takes no outputs and 3 "
       "texts (message, title, mode)"},
      {0, 3, withNumber, "errordlg",
       "mexCallMATLAB called errordlg with input 2 not a string made by mxCreateString"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.breach);
    size_t before = standinBreachCount();
    EXPECT_NE(mexCallMATLAB(c.nlhs, outputs, c.nrhs, c.prhs, c.function), 0);
    ASSERT_EQ(standinBreachCount(), before + 1);
    EXPECT_STREQ(standinBreach(before), c.breach);
  }
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(outputs[0], nullptr);
}

TEST_F(MessagesTest, ResetForgetsEveryLog) {
  mexWarnMsgTxt("warning");
  mexCallMATLAB(0, nullptr, 0, nullptr, "disp");
  mxArray* prhs[3] = {mxCreateString("m"), mxCreateString("t"), mxCreateString("modal")};
  mexCallMATLAB(0, nullptr, 3, prhs, "errordlg");
  standinReset();
  EXPECT_EQ(standinWarningCount(), 0u);
  EXPECT_EQ(standinDialogCount(), 0u);
  EXPECT_EQ(standinBreachCount(), 0u);
  EXPECT_EQ(standinBytesHeld(), 0u);
}

}  // namespace
