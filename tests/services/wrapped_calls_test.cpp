// Linked with -Wl,--wrap=malloc -Wl,--wrap=mexWarnMsgTxt: the module's calls
// of both go through the wrappers below, which can refuse an allocation and
// note what the module had done when it warned.
#include <gtest/gtest.h>

#include <stddef.h>
#include <stdint.h>

#include "host/mex_api.h"
#include "services/services.h"
#include "standin_host/host_calls.h"
#include "tests/support/fresh_host_test.h"

extern "C" {
void* __real_malloc(size_t size);
void HOST_CALL __real_mexWarnMsgTxt(const char* text);
}

namespace {

bool failNextMalloc;
size_t mallocCalls;
size_t mallocCallsAtWarning;
const uint32_t* watchedWord;
uint32_t wordAtWarning;

}  // namespace

extern "C" void* __wrap_malloc(size_t size) {
  ++mallocCalls;
  if (failNextMalloc) {
    failNextMalloc = false;
    return nullptr;
  }
  return __real_malloc(size);
}

extern "C" void HOST_CALL __wrap_mexWarnMsgTxt(const char* text) {
  mallocCallsAtWarning = mallocCalls;
  if (watchedWord != nullptr) wordAtWarning = *watchedWord;
  __real_mexWarnMsgTxt(text);
}

namespace {

class WrappedCallsTest : public FreshHostTest {
 protected:
  void SetUp() override {
    FreshHostTest::SetUp();
    failNextMalloc = false;
    mallocCalls = 0;
    mallocCallsAtWarning = 0;
    watchedWord = nullptr;
    record_.blockPath = "m/B";
  }
  void TearDown() override { failNextMalloc = false; }

  SFcnRecord record_{};
};

TEST_F(WrappedCallsTest, FailedPrefixAllocationIssuesBareMessage) {
  failNextMalloc = true;
  ssWarnWithBlockPath(&record_, "Hello");
  EXPECT_FALSE(failNextMalloc) << "the warning took no buffer";
  ASSERT_EQ(standinWarningCount(), 1u);
  EXPECT_STREQ(standinWarning(0), "Hello");

  ssWarnWithBlockPath(&record_, "Hello");
  ASSERT_EQ(standinWarningCount(), 2u);
  EXPECT_STREQ(standinWarning(1), "block 'm/B': Hello");
}

TEST_F(WrappedCallsTest, NoBlockPathAllocatesNothing) {
  record_.blockPath = nullptr;
  ssWarnWithBlockPath(&record_, "Hello");
  EXPECT_EQ(mallocCallsAtWarning, 0u);
  ASSERT_EQ(standinWarningCount(), 1u);
  EXPECT_STREQ(standinWarning(0), "Hello");
}

TEST_F(WrappedCallsTest, SetterWithFailedPrefixStillWarnsAndUpdates) {
  InputPortInfo input{};
  input.attributes = 0x27;
  record_.inputPorts = &input;
  record_.sizesBlock.inputPortCount = 1;
  failNextMalloc = true;
  ssSetInputPortReusable(&record_, 0, 1);
  EXPECT_EQ(input.attributes, 0x23u);
  ASSERT_EQ(standinWarningCount(), 1u);
  EXPECT_STREQ(standinWarning(0),
               "The macro ssSetInputPortReusable is obsolete, please update the MEX level2 "
               "S-function \"twinvolts\" to use the macro ssSetInputPortOptimOpts");
}

TEST_F(WrappedCallsTest, SettersWarnBeforeTheyUpdate) {
  InputPortInfo input{};
  OutputPortInfo output{};
  input.attributes = 0x27;
  output.attributes = 0x6;
  record_.inputPorts = &input;
  record_.outputPorts = &output;
  record_.sizesBlock.inputPortCount = 1;
  record_.sizesBlock.outputPortCount = 1;

  watchedWord = &input.attributes;
  ssSetInputPortReusable(&record_, 0, 1);
  EXPECT_EQ(wordAtWarning, 0x27u);
  EXPECT_EQ(input.attributes, 0x23u);

  watchedWord = &output.attributes;
  ssSetOutputPortReusable(&record_, 0, 1);
  EXPECT_EQ(wordAtWarning, 0x6u);
  EXPECT_EQ(output.attributes, 0x5u);
  EXPECT_EQ(standinWarningCount(), 2u);
}

}  // namespace
