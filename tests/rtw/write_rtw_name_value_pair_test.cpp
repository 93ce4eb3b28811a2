#include "rtw/rtw_writers.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <vector>

#include "services/services.h"
#include "tests/rtw/hook_recorder.h"

namespace {

constexpr const char* kTypeMessage = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWNameValuePair";
constexpr const char* kNameMessage = "Invalid name passed to ssWriteRTWNameValuePair";
constexpr const char* kDimsMessage =
    "Invalid number of rows or columns passed to ssWriteRTWNameValuePair";
constexpr const char* kNullMessage = "Invalid value (NULL) passed to ssWriteRTWNameValuePair";
constexpr int kComplexInt32 = kComplexBit | DATA_TYPE_INT32;

// Calls the writer with exactly the variadic words given, each an int.
int32_t writePair(SFcnRecord* record, int32_t type, const char* name, const void* value,
                  const std::vector<int>& words) {
  switch (words.size()) {
    case 0:
      return ssWriteRTWNameValuePair(record, type, name, value);
    case 1:
      return ssWriteRTWNameValuePair(record, type, name, value, words[0]);
    case 2:
      return ssWriteRTWNameValuePair(record, type, name, value, words[0], words[1]);
    default:
      return ssWriteRTWNameValuePair(record, type, name, value, words[0], words[1], words[2]);
  }
}

const double kData[4] = {1.0, 2.0, 3.0, 4.0};
const double kImag[4] = {-1.0, -2.0, -3.0, -4.0};
const RealImagPair kRealOnly = {kData, nullptr};
const RealImagPair kComplex = {kData, kImag};
const RealImagPair kNoParts = {nullptr, nullptr};

struct AcceptedCase {
  const char* label;
  int32_t type;
  std::vector<int> words;
  const void* value;
  int32_t dataType, nRows, nCols;  // as the hook must receive them
};

class AcceptedPair : public RtwWriterTest, public ::testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedPair, ReachesTheHookWithDefaultsFilledIn) {
  const AcceptedCase& c = GetParam();
  record.errorMessage = "earlier";
  EXPECT_EQ(writePair(&record, c.type, "Entry", c.value, c.words), 1);
  ASSERT_EQ(calls().size(), 1u);
  const HookCall& call = calls()[0];
  EXPECT_EQ(call.kind, HookKind::kNameValue);
  EXPECT_EQ(call.writerArg, &hooks);
  EXPECT_EQ(call.type, c.type);
  EXPECT_EQ(call.text, "Entry");
  EXPECT_EQ(call.value, c.value);
  EXPECT_EQ(call.dataType, c.dataType);
  EXPECT_EQ(call.nRows, c.nRows);
  EXPECT_EQ(call.nCols, c.nCols);
  EXPECT_STREQ(errorSlot(), "earlier");  // a write leaves the slot alone
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, AcceptedPair,
    ::testing::Values(
        AcceptedCase{"Item", SSWRITE_VALUE_ITEM, {}, "x", 0, 1, 1},
        AcceptedCase{"Text", SSWRITE_VALUE_TEXT, {}, "x", 0, 1, 1},
        AcceptedCase{"List", SSWRITE_VALUE_LIST, {3}, kData, 0, 3, 1},
        AcceptedCase{"EmptyListWithoutValue", SSWRITE_VALUE_LIST, {0}, nullptr, 0, 0, 1},
        AcceptedCase{"Scalar", SSWRITE_VALUE_SCALAR, {DATA_TYPE_INT32}, kData, 6, 1, 1},
        AcceptedCase{"Vector", SSWRITE_VALUE_VECTOR, {DATA_TYPE_DOUBLE, 3}, kData, 0, 3, 1},
        AcceptedCase{"EmptyVectorWithoutValue", SSWRITE_VALUE_VECTOR, {0, 0}, nullptr, 0, 0, 1},
        AcceptedCase{"Matrix", SSWRITE_VALUE_MATRIX, {DATA_TYPE_SINGLE, 2, 3}, kData, 1, 2, 3},
        AcceptedCase{"EmptyMatrixWithoutValue", SSWRITE_VALUE_MATRIX, {5, 0, 0}, nullptr, 5, 0, 0},
        AcceptedCase{"TypedScalar", SSWRITE_VALUE_TYPED_SCALAR, {DATA_TYPE_UINT8}, kData, 3, 1, 1},
        AcceptedCase{"TypedVector",
                     SSWRITE_VALUE_TYPED_VECTOR,
                     {kComplexInt32, 4},
                     kData,
                     kComplexInt32,
                     4,
                     1},
        AcceptedCase{
            "TypedMatrix", SSWRITE_VALUE_TYPED_MATRIX, {DATA_TYPE_INT16, 4, 1}, kData, 4, 4, 1},
        AcceptedCase{"EmptyTypedMatrix", SSWRITE_VALUE_TYPED_MATRIX, {2, 0, 0}, nullptr, 2, 0, 0},
        AcceptedCase{"PairVectorReal",
                     SSWRITE_VALUE_PAIR_VECTOR,
                     {DATA_TYPE_DOUBLE, 2},
                     &kRealOnly,
                     0,
                     2,
                     1},
        AcceptedCase{"PairVectorComplex",
                     SSWRITE_VALUE_PAIR_VECTOR,
                     {kComplexInt32, 2},
                     &kComplex,
                     kComplexInt32,
                     2,
                     1},
        AcceptedCase{"EmptyPairVectorWithoutParts",
                     SSWRITE_VALUE_PAIR_VECTOR,
                     {kComplexInt32, 0},
                     &kNoParts,
                     kComplexInt32,
                     0,
                     1},
        AcceptedCase{
            "EmptyPairVectorWithoutPair", SSWRITE_VALUE_PAIR_VECTOR, {0, 0}, nullptr, 0, 0, 1},
        AcceptedCase{"PairMatrix",
                     SSWRITE_VALUE_PAIR_MATRIX,
                     {kComplexBit, 2, 2},
                     &kComplex,
                     kComplexBit,
                     2,
                     2},
        AcceptedCase{"EmptyPairMatrix", SSWRITE_VALUE_PAIR_MATRIX, {0, 0, 0}, &kNoParts, 0, 0, 0}),
    [](const ::testing::TestParamInfo<AcceptedCase>& info) { return info.param.label; });

struct RefusedCase {
  const char* label;
  int32_t type;
  std::vector<int> words;
  const char* name;
  const void* value;
  const char* message;
};

class RefusedPair : public RtwWriterTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedPair, LeavesTheFirstFailingChecksMessageAndCallsNoHook) {
  const RefusedCase& c = GetParam();
  EXPECT_EQ(writePair(&record, c.type, c.name, c.value, c.words), 0);
  EXPECT_STREQ(errorSlot(), c.message);
  EXPECT_TRUE(calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, RefusedPair,
    ::testing::Values(
        RefusedCase{"CodeAboveTen", 11, {}, "Entry", kData, kTypeMessage},
        RefusedCase{"CodeMinusOne", -1, {}, "Entry", kData, kTypeMessage},
        RefusedCase{"MostNegativeCode", INT_MIN, {}, "Entry", kData, kTypeMessage},
        RefusedCase{"CodeBeforeName", 12, {}, "", nullptr, kTypeMessage},
        RefusedCase{"NullName", SSWRITE_VALUE_TEXT, {}, nullptr, "x", kNameMessage},
        RefusedCase{"EmptyNameBeforeNullValue", SSWRITE_VALUE_TEXT, {}, "", nullptr, kNameMessage},
        RefusedCase{
            "EmptyNameBeforeDims", SSWRITE_VALUE_MATRIX, {0, 2, 0}, "", kData, kNameMessage},
        RefusedCase{"MatrixRowsWithoutColumns",
                    SSWRITE_VALUE_MATRIX,
                    {0, 2, 0},
                    "Entry",
                    kData,
                    kDimsMessage},
        RefusedCase{"MatrixColumnsWithoutRows",
                    SSWRITE_VALUE_MATRIX,
                    {0, 0, 2},
                    "Entry",
                    kData,
                    kDimsMessage},
        RefusedCase{"TypedMatrixHalfEmpty",
                    SSWRITE_VALUE_TYPED_MATRIX,
                    {0, 3, 0},
                    "Entry",
                    kData,
                    kDimsMessage},
        RefusedCase{"PairMatrixHalfEmpty",
                    SSWRITE_VALUE_PAIR_MATRIX,
                    {0, 0, 3},
                    "Entry",
                    &kComplex,
                    kDimsMessage},
        RefusedCase{"NegativeVectorRows",
                    SSWRITE_VALUE_TYPED_VECTOR,
                    {0, -1},
                    "Entry",
                    kData,
                    kDimsMessage},
        RefusedCase{"NegativeListRows", SSWRITE_VALUE_LIST, {-1}, "Entry", kData, kDimsMessage},
        RefusedCase{"NegativeMatrixColumns",
                    SSWRITE_VALUE_MATRIX,
                    {0, 2, -2},
                    "Entry",
                    kData,
                    kDimsMessage},
        RefusedCase{
            "BothNegative", SSWRITE_VALUE_TYPED_MATRIX, {0, -1, -1}, "Entry", kData, kDimsMessage},
        RefusedCase{
            "DimsBeforeValue", SSWRITE_VALUE_MATRIX, {0, 2, 0}, "Entry", nullptr, kDimsMessage},
        RefusedCase{"ItemWithoutValue", SSWRITE_VALUE_ITEM, {}, "Entry", nullptr, kNullMessage},
        RefusedCase{"TextWithoutValue", SSWRITE_VALUE_TEXT, {}, "Entry", nullptr, kNullMessage},
        RefusedCase{
            "ScalarWithoutValue", SSWRITE_VALUE_SCALAR, {0}, "Entry", nullptr, kNullMessage},
        RefusedCase{
            "VectorWithoutValue", SSWRITE_VALUE_VECTOR, {0, 3}, "Entry", nullptr, kNullMessage},
        RefusedCase{"MatrixWithoutValue",
                    SSWRITE_VALUE_TYPED_MATRIX,
                    {0, 1, 1},
                    "Entry",
                    nullptr,
                    kNullMessage},
        RefusedCase{"PairVectorWithoutPair",
                    SSWRITE_VALUE_PAIR_VECTOR,
                    {0, 2},
                    "Entry",
                    nullptr,
                    kNullMessage},
        RefusedCase{"PairWithoutRealPart",
                    SSWRITE_VALUE_PAIR_VECTOR,
                    {0, 2},
                    "Entry",
                    &kNoParts,
                    kNullMessage},
        RefusedCase{"ComplexPairWithoutImagPart",
                    SSWRITE_VALUE_PAIR_VECTOR,
                    {kComplexInt32, 2},
                    "Entry",
                    &kRealOnly,
                    kNullMessage},
        RefusedCase{"ComplexPairMatrixWithoutImagPart",
                    SSWRITE_VALUE_PAIR_MATRIX,
                    {kComplexBit, 1, 1},
                    "Entry",
                    &kRealOnly,
                    kNullMessage}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.label; });

TEST_F(RtwWriterTest, RefusalGoesToTheRootRecordsSlot) {
  SFcnRecord root{};
  record.rootRecord = &root;
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, 11, "Entry", kData), 0);
  EXPECT_STREQ(root.errorMessage, kTypeMessage);
  EXPECT_EQ(record.errorMessage, nullptr);
}

TEST_F(RtwWriterTest, LaterRefusalReplacesTheEarlierMessage) {
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, 11, "Entry", kData), 0);
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TEXT, "", kData), 0);
  EXPECT_STREQ(errorSlot(), kNameMessage);
}

TEST_F(RtwWriterTest, HookResultIsPassedOnWithoutAMessage) {
  hooks.resultAt(0, 0);
  hooks.resultAt(1, 7);
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TEXT, "A", "a"), 0);
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TEXT, "B", "b"), 7);
  EXPECT_EQ(errorSlot(), nullptr);
  EXPECT_EQ(calls().size(), 2u);
}

// The convenience writers build the pair in their frame; the hook sees it
// through value while the call lasts.
struct RealImagCase {
  const char* label;
  bool asMatrix;
  const void* imagPart;
  int32_t dataType;
  int32_t nRows, nCols;
  int32_t result;  // 1 accepted, 0 the NULL message
};

class RealImagWriters : public RtwWriterTest, public ::testing::WithParamInterface<RealImagCase> {};

TEST_P(RealImagWriters, PassThePairOfTheirParts) {
  const RealImagCase& c = GetParam();
  const int32_t result =
      c.asMatrix
          ? ssWriteRTWRealImagMatrix(&record, "Z", kData, c.imagPart, c.dataType, c.nRows, c.nCols)
          : ssWriteRTWRealImagVect(&record, "Z", kData, c.imagPart, c.dataType, c.nRows);
  EXPECT_EQ(result, c.result);
  if (c.result == 0) {
    EXPECT_STREQ(errorSlot(), kNullMessage);
    EXPECT_TRUE(calls().empty());
    return;
  }
  ASSERT_EQ(calls().size(), 1u);
  const HookCall& call = calls()[0];
  EXPECT_EQ(call.type, c.asMatrix ? SSWRITE_VALUE_PAIR_MATRIX : SSWRITE_VALUE_PAIR_VECTOR);
  EXPECT_EQ(call.text, "Z");
  EXPECT_NE(call.value, nullptr);
  EXPECT_EQ(call.pair.realPart, kData);
  EXPECT_EQ(call.pair.imagPart, c.imagPart);
  EXPECT_EQ(call.dataType, c.dataType);
  EXPECT_EQ(call.nRows, c.nRows);
  EXPECT_EQ(call.nCols, c.asMatrix ? c.nCols : 1);
}

INSTANTIATE_TEST_SUITE_P(
    VectorAndMatrix, RealImagWriters,
    ::testing::Values(
        RealImagCase{"RealVectorWithoutImag", false, nullptr, DATA_TYPE_DOUBLE, 2, 1, 1},
        RealImagCase{"ComplexVectorWithoutImag", false, nullptr, kComplexBit | DATA_TYPE_DOUBLE, 2,
                     1, 0},
        RealImagCase{"ComplexVector", false, kImag, kComplexBit | DATA_TYPE_DOUBLE, 2, 1, 1},
        RealImagCase{"ComplexMatrix", true, kImag, kComplexInt32, 2, 2, 1},
        RealImagCase{"ComplexMatrixWithoutImag", true, nullptr, kComplexInt32, 2, 2, 0},
        RealImagCase{"RealMatrixWithoutImag", true, nullptr, DATA_TYPE_INT32, 1, 4, 1}),
    [](const ::testing::TestParamInfo<RealImagCase>& info) { return info.param.label; });

TEST_F(RtwWriterTest, EmptyRealImagVectorWithoutPartsPassesThePairsAddress) {
  EXPECT_EQ(ssWriteRTWRealImagVect(&record, "Z", nullptr, nullptr, kComplexInt32, 0), 1);
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_NE(calls()[0].value, nullptr);
  EXPECT_EQ(calls()[0].pair.realPart, nullptr);
  EXPECT_EQ(calls()[0].pair.imagPart, nullptr);
  EXPECT_EQ(calls()[0].nRows, 0);
}

TEST_F(RtwWriterTest, RealImagMatrixHalfEmptyIsADimensionError) {
  EXPECT_EQ(ssWriteRTWRealImagMatrix(&record, "Z", kData, kImag, 0, 0, 2), 0);
  EXPECT_STREQ(errorSlot(), kDimsMessage);
}

}  // namespace
