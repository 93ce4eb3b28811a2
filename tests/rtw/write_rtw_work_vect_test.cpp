#include "rtw/rtw_writers.h"

#include <gtest/gtest.h>
#include <string.h>

#include "services/services.h"
#include "tests/rtw/hook_recorder.h"

namespace {

constexpr const char* kNameMessage =
    "Invalid work vector name (vectName) passed to ssWriteRTWWorkVect (must be RWork, IWork, or "
    "PWork";
constexpr const char* kCountMessage =
    "nNames argument to ssWriteRTWWorkVect must be greater than 0";
constexpr const char* kNullMessage = "Invalid value (NULL) passed to ssWriteRTWNameValuePair";
constexpr const char* kOverflowMessage =
    "The widths passed to ssWriteRTWWorkVect add up beyond the range of a 32-bit start index";
const char* const kNoName = nullptr;

// An int32 typed scalar as the work-vector writer sends each figure.
void expectInt32(const HookCall& call, const char* name, int32_t value) {
  SCOPED_TRACE(name);
  EXPECT_EQ(call.kind, HookKind::kNameValue);
  EXPECT_EQ(call.type, SSWRITE_VALUE_TYPED_SCALAR);
  EXPECT_EQ(call.text, name);
  EXPECT_EQ(call.dataType, DATA_TYPE_INT32);
  EXPECT_EQ(call.nRows, 1);
  EXPECT_EQ(call.nCols, 1);
  EXPECT_EQ(call.seenInt32, value);
}

// The calls for one element, starting at calls[first].
void expectElement(const std::vector<HookCall>& calls, size_t first, const char* opening,
                   const char* name, int32_t width, int32_t start) {
  ASSERT_GE(calls.size(), first + 5);
  EXPECT_EQ(calls[first].kind, HookKind::kLine);
  EXPECT_EQ(calls[first].text, opening);
  EXPECT_EQ(calls[first + 1].type, SSWRITE_VALUE_TEXT);
  EXPECT_EQ(calls[first + 1].text, "Name");
  EXPECT_EQ(calls[first + 1].seenText, name);
  expectInt32(calls[first + 2], "Width", width);
  expectInt32(calls[first + 3], "StartIndex", start);
  EXPECT_EQ(calls[first + 4].kind, HookKind::kLine);
  EXPECT_EQ(calls[first + 4].text, "}");
}

struct VectCase {
  const char* vectName;
  const char* countName;
  const char* opening;
};

class WorkVectByName : public RtwWriterTest, public ::testing::WithParamInterface<VectCase> {
 protected:
  void SetUp() override {
    RtwWriterTest::SetUp();
    record.sizesBlock.rworkLength = 100;
    record.sizesBlock.iworkLength = 200;
    record.sizesBlock.pworkLength = 300;
  }
  int32_t& registered() {
    const char* name = GetParam().vectName;
    if (strcmp(name, "RWork") == 0) return record.sizesBlock.rworkLength;
    if (strcmp(name, "IWork") == 0) return record.sizesBlock.iworkLength;
    return record.sizesBlock.pworkLength;
  }
};

TEST_P(WorkVectByName, WritesEveryElementWithItsStartIndex) {
  registered() = 7;
  record.errorMessage = "earlier";
  EXPECT_EQ(ssWriteRTWWorkVect(&record, GetParam().vectName, 2, "a", 3, "b", 4), 1);
  ASSERT_EQ(calls().size(), 11u);
  expectInt32(calls()[0], GetParam().countName, 2);
  expectElement(calls(), 1, GetParam().opening, "a", 3, 0);
  expectElement(calls(), 6, GetParam().opening, "b", 4, 3);
  EXPECT_STREQ(errorSlot(), "earlier");
}

TEST_P(WorkVectByName, ReportsATotalThatDiffersFromTheRegisteredLength) {
  registered() = 8;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, GetParam().vectName, 2, "a", 3, "b", 4), 0);
  EXPECT_EQ(calls().size(), 11u);  // everything stays written
  const std::string name = GetParam().vectName;
  const std::string expected = "Error in ssWriteRTWWorkVect.  The total number of " + name +
                               "Defines written to the .rtw file (= 7), should be equal to "
                               "number of " +
                               name + " (= 8), registered in mdlInitializeSizes";
  EXPECT_EQ(errorSlot(), workVectErrorText);
  EXPECT_EQ(std::string(workVectErrorText), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryVector, WorkVectByName,
                         ::testing::Values(VectCase{"RWork", "NumRWorkDefines", "RWorkDefine {"},
                                           VectCase{"IWork", "NumIWorkDefines", "IWorkDefine {"},
                                           VectCase{"PWork", "NumPWorkDefines", "PWorkDefine {"}),
                         [](const ::testing::TestParamInfo<VectCase>& info) {
                           return std::string(info.param.vectName);
                         });

class RefusedVectName : public RtwWriterTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedVectName, WritesNothing) {
  record.sizesBlock.rworkLength = 1;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, GetParam(), 1, "a", 1), 0);
  EXPECT_STREQ(errorSlot(), kNameMessage);
  EXPECT_TRUE(calls().empty());
}

INSTANTIATE_TEST_SUITE_P(NotAWorkVector, RefusedVectName,
                         ::testing::Values("DWork", "rwork", "RWORK", "RWork ", "RWorkRWork", "",
                                           nullptr));

TEST_F(RtwWriterTest, WorkVectNeedsAtLeastOneName) {
  for (int32_t count : {0, -1, INT32_MIN}) {
    record.errorMessage = nullptr;
    EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", count), 0);
    EXPECT_STREQ(errorSlot(), kCountMessage);
  }
  EXPECT_TRUE(calls().empty());
}

TEST_F(RtwWriterTest, WorkVectNameIsCheckedBeforeTheCount) {
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "DWork", 0), 0);
  EXPECT_STREQ(errorSlot(), kNameMessage);
}

TEST_F(RtwWriterTest, WorkVectStopsAtANullElementName) {
  record.sizesBlock.iworkLength = 3;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "IWork", 2, "a", 1, kNoName, 2), 0);
  EXPECT_STREQ(errorSlot(), kNullMessage);
  ASSERT_EQ(calls().size(), 7u);  // count, first element, second opening line
  EXPECT_EQ(calls()[6].text, "IWorkDefine {");
}

TEST_F(RtwWriterTest, WorkVectWritesZeroAndNegativeWidthsAsGiven) {
  record.sizesBlock.pworkLength = 4;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "PWork", 4, "a", 2, "b", -1, "c", 0, "d", 3), 1);
  ASSERT_EQ(calls().size(), 21u);
  const int32_t widths[] = {2, -1, 0, 3};
  const int32_t starts[] = {0, 2, 1, 1};
  const char* names[] = {"a", "b", "c", "d"};
  for (size_t i = 0; i < 4; ++i) {
    expectElement(calls(), 1 + 5 * i, "PWorkDefine {", names[i], widths[i], starts[i]);
  }
}

TEST_F(RtwWriterTest, WorkVectReturnsTheResultOfTheStepThatFailed) {
  record.sizesBlock.rworkLength = 2;
  for (int failing = 0; failing < 6; ++failing) {
    SCOPED_TRACE(failing);
    HookRecorder fresh;
    fresh.install(&host);
    fresh.resultAt(failing, 10 + failing);
    record.errorMessage = nullptr;
    EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", 1, "a", 2), 10 + failing);
    EXPECT_EQ(fresh.calls().size(), static_cast<size_t>(failing + 1));
    EXPECT_EQ(errorSlot(), nullptr);
  }
}

// Widths that add up beyond 32 bits are compared in full, not wrapped.
TEST_F(RtwWriterTest, WorkVectTotalBeyond32BitsIsAMismatch) {
  record.sizesBlock.rworkLength = INT32_MIN;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", 2, "a", INT32_MAX, "b", 1), 0);
  EXPECT_NE(strstr(workVectErrorText, "(= 2147483648), should"), nullptr) << workVectErrorText;
}

TEST_F(RtwWriterTest, WorkVectRefusesAStartIndexBeyond32Bits) {
  record.sizesBlock.rworkLength = 5;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", 3, "a", INT32_MAX, "b", 1, "c", 5), 0);
  EXPECT_STREQ(errorSlot(), kOverflowMessage);
  EXPECT_EQ(calls().size(), 11u);  // count and the two elements that fit
}

TEST_F(RtwWriterTest, LongestMismatchMessageFitsItsBuffer) {
  record.sizesBlock.rworkLength = INT32_MIN;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", 2, "a", INT32_MIN, "b", INT32_MIN), 0);
  EXPECT_EQ(std::string(workVectErrorText),
            "Error in ssWriteRTWWorkVect.  The total number of RWorkDefines written to the .rtw "
            "file (= -4294967296), should be equal to number of RWork (= -2147483648), registered "
            "in mdlInitializeSizes");
  EXPECT_EQ(strlen(workVectErrorText), 189u);
  EXPECT_LT(strlen(workVectErrorText), sizeof workVectErrorText);
}

TEST_F(RtwWriterTest, LaterMismatchOverwritesTheSharedText) {
  SFcnRecord other{};
  other.rootRecord = &other;
  other.hostInfo = &host;
  record.sizesBlock.iworkLength = 9;
  other.sizesBlock.pworkLength = 1;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "IWork", 1, "a", 2), 0);
  EXPECT_EQ(ssWriteRTWWorkVect(&other, "PWork", 1, "a", 3), 0);
  EXPECT_EQ(record.errorMessage, other.errorMessage);
  EXPECT_NE(strstr(record.errorMessage, "number of PWork (= 1)"), nullptr);
}

}  // namespace
