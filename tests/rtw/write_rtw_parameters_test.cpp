#include "rtw/rtw_writers.h"

#include <gtest/gtest.h>

#include <functional>

#include "services/services.h"
#include "tests/rtw/hook_recorder.h"

namespace {

constexpr const char* kTypeMessage = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWParameters";
constexpr const char* kArgumentsMessage = "Invalid arguments passed to ssWriteRTWParameters";

const double kData[6] = {1, 2, 3, 4, 5, 6};
const double kImag[6] = {6, 5, 4, 3, 2, 1};
const int kInfo = 42;  // stands for the host's parameter information
const void* const kNoData = nullptr;

struct AcceptedParam {
  const char* label;
  std::function<int32_t(SFcnRecord*)> write;
  int32_t type;
  const void* data;  // null for the pair codes: the hook gets a pair instead
  int32_t dataType, nRows, nCols;
  RealImagPair pair;
};

class AcceptedParameter : public RtwWriterTest,
                          public ::testing::WithParamInterface<AcceptedParam> {};

TEST_P(AcceptedParameter, ReachesTheHookAsTheCodeSettlesIt) {
  const AcceptedParam& c = GetParam();
  record.errorMessage = "earlier";
  EXPECT_EQ(c.write(&record), 1);
  ASSERT_EQ(calls().size(), 1u);
  const HookCall& call = calls()[0];
  EXPECT_EQ(call.kind, HookKind::kParam);
  EXPECT_EQ(call.writerArg, &hooks);
  EXPECT_EQ(call.type, c.type);
  EXPECT_EQ(call.text, "P");
  EXPECT_EQ(call.paramInfo, &kInfo);
  EXPECT_EQ(call.dataType, c.dataType);
  EXPECT_EQ(call.nRows, c.nRows);
  EXPECT_EQ(call.nCols, c.nCols);
  const bool isPair = c.type == SSWRITE_VALUE_PAIR_VECTOR || c.type == SSWRITE_VALUE_PAIR_MATRIX;
  if (isPair) {
    EXPECT_NE(call.value, nullptr);
    EXPECT_EQ(call.pair.realPart, c.pair.realPart);
    EXPECT_EQ(call.pair.imagPart, c.pair.imagPart);
  } else {
    EXPECT_EQ(call.value, c.data);
  }
  EXPECT_STREQ(errorSlot(), "earlier");
}

INSTANTIATE_TEST_SUITE_P(
    EveryParameterCode, AcceptedParameter,
    ::testing::Values(
        AcceptedParam{"Vector",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, "P", &kInfo, kData,
                                                    3);
                      },
                      4,
                      kData,
                      0,
                      3,
                      1,
                      {}},
        AcceptedParam{"EmptyVectorWithoutData",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, "P", &kInfo,
                                                    kNoData, 0);
                      },
                      4,
                      nullptr,
                      0,
                      0,
                      0,
                      {}},
        AcceptedParam{"Matrix",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_MATRIX, "P", &kInfo, kData,
                                                    2, 3);
                      },
                      5,
                      kData,
                      0,
                      2,
                      3,
                      {}},
        AcceptedParam{"TypedVector",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_TYPED_VECTOR, "P", &kInfo,
                                                    kData, 6, int{DATA_TYPE_INT16});
                      },
                      7,
                      kData,
                      DATA_TYPE_INT16,
                      6,
                      1,
                      {}},
        AcceptedParam{"TypedMatrix",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_TYPED_MATRIX, "P", &kInfo,
                                                    kData, 3, 2, int{DATA_TYPE_SINGLE});
                      },
                      8,
                      kData,
                      DATA_TYPE_SINGLE,
                      3,
                      2,
                      {}},
        AcceptedParam{"EmptyTypedMatrix",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_TYPED_MATRIX, "P", &kInfo,
                                                    kNoData, 0, 0, int{DATA_TYPE_INT8});
                      },
                      8,
                      nullptr,
                      DATA_TYPE_INT8,
                      0,
                      0,
                      {}},
        AcceptedParam{"PairVector",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_PAIR_VECTOR, "P", &kInfo,
                                                    kData, kImag, 4,
                                                    kComplexBit | DATA_TYPE_DOUBLE);
                      },
                      9,
                      nullptr,
                      kComplexBit,
                      4,
                      1,
                      {kData, kImag}},
        AcceptedParam{"PairVectorWithoutRealPart",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_PAIR_VECTOR, "P", &kInfo,
                                                    kNoData, kImag, 2, int{DATA_TYPE_DOUBLE});
                      },
                      9,
                      nullptr,
                      0,
                      2,
                      1,
                      {nullptr, kImag}},
        AcceptedParam{"EmptyPairVector",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_PAIR_VECTOR, "P", &kInfo,
                                                    kNoData, kNoData, 0, int{DATA_TYPE_DOUBLE});
                      },
                      9,
                      nullptr,
                      0,
                      0,
                      0,
                      {nullptr, nullptr}},
        AcceptedParam{"PairMatrix",
                      [](SFcnRecord* r) {
                        return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_PAIR_MATRIX, "P", &kInfo,
                                                    kData, kImag, 2, 3,
                                                    kComplexBit | DATA_TYPE_INT32);
                      },
                      10,
                      nullptr,
                      kComplexBit | DATA_TYPE_INT32,
                      2,
                      3,
                      {kData, kImag}}),
    [](const ::testing::TestParamInfo<AcceptedParam>& info) { return info.param.label; });

// A good entry, then one with a code that parameters do not take.
class RefusedParameterCode : public RtwWriterTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RefusedParameterCode, StopsAfterTheGoodEntry) {
  EXPECT_EQ(ssWriteRTWParameters(&record, 2, SSWRITE_VALUE_VECTOR, "Good", &kInfo, kData, 2,
                                 GetParam(), "Bad", &kInfo, kData, 1),
            0);
  EXPECT_STREQ(errorSlot(), kTypeMessage);
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].text, "Good");
}

INSTANTIATE_TEST_SUITE_P(CodesOtherThanVectorsAndMatrices, RefusedParameterCode,
                         ::testing::Values(0, 1, 2, 3, 6, 11, -1, INT32_MIN, INT32_MAX));

struct RefusedArgs {
  const char* label;
  std::function<int32_t(SFcnRecord*)> write;
};

class RefusedParameterArguments : public RtwWriterTest,
                                  public ::testing::WithParamInterface<RefusedArgs> {};

TEST_P(RefusedParameterArguments, AreRefusedWithoutAHookCall) {
  EXPECT_EQ(GetParam().write(&record), 0);
  EXPECT_STREQ(errorSlot(), kArgumentsMessage);
  EXPECT_TRUE(calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, RefusedParameterArguments,
    ::testing::Values(RefusedArgs{"NullName",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, nullptr,
                                                                &kInfo, kData, 2);
                                  }},
                      RefusedArgs{"EmptyName",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, "",
                                                                &kInfo, kData, 2);
                                  }},
                      RefusedArgs{"NullDataWithRows",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_TYPED_VECTOR,
                                                                "P", &kInfo, kNoData, 2, 0);
                                  }},
                      RefusedArgs{"NegativeLength",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, "P",
                                                                &kInfo, kData, -2);
                                  }},
                      RefusedArgs{"NegativeColumns",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_MATRIX, "P",
                                                                &kInfo, kData, 2, -1);
                                  }},
                      RefusedArgs{"RowsWithoutColumns",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_MATRIX, "P",
                                                                &kInfo, kData, 3, 0);
                                  }},
                      RefusedArgs{"ColumnsWithoutRows",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_TYPED_MATRIX,
                                                                "P", &kInfo, kNoData, 0, 2, 0);
                                  }},
                      RefusedArgs{"PairMatrixHalfEmpty",
                                  [](SFcnRecord* r) {
                                    return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_PAIR_MATRIX,
                                                                "P", &kInfo, kData, kImag, 2, 0, 0);
                                  }}),
    [](const ::testing::TestParamInfo<RefusedArgs>& info) { return info.param.label; });

TEST_F(RtwWriterTest, ParametersWithNoEntriesWriteNothingAndSucceed) {
  EXPECT_EQ(ssWriteRTWParameters(&record, 0), 1);
  EXPECT_EQ(ssWriteRTWParameters(&record, -3), 1);
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(errorSlot(), nullptr);
}

TEST_F(RtwWriterTest, ParametersReturnTheLastHookResult) {
  hooks.resultFromThenOn(0, 2);
  EXPECT_EQ(
      ssWriteRTWParameters(&record, 3, SSWRITE_VALUE_VECTOR, "A", &kInfo, kData, 1,
                           SSWRITE_VALUE_MATRIX, "B", &kInfo, kData, 2, 2,
                           SSWRITE_VALUE_TYPED_VECTOR, "C", &kInfo, kData, 3, int{DATA_TYPE_INT32}),
      2);
  EXPECT_EQ(hooks.lines(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(RtwWriterTest, ParametersStopWhenTheHookFailsAndAddNoMessage) {
  hooks.resultAt(1, 0);
  record.errorMessage = "earlier";
  EXPECT_EQ(ssWriteRTWParameters(&record, 3, SSWRITE_VALUE_VECTOR, "A", &kInfo, kData, 1,
                                 SSWRITE_VALUE_VECTOR, "B", &kInfo, kData, 1, SSWRITE_VALUE_VECTOR,
                                 "C", &kInfo, kData, 1),
            0);
  EXPECT_EQ(hooks.lines(), (std::vector<std::string>{"A", "B"}));
  EXPECT_STREQ(errorSlot(), "earlier");
}

// Every code in one run: each entry's words must be read in step, or the
// later entries come out wrong.
TEST_F(RtwWriterTest, ParametersOfEveryCodeInOneRunStayInStep) {
  const int info2 = 7;
  EXPECT_EQ(ssWriteRTWParameters(
                &record, 6, SSWRITE_VALUE_PAIR_MATRIX, "A", &kInfo, kData, kImag, 1, 2, kComplexBit,
                SSWRITE_VALUE_VECTOR, "B", &info2, kData, 2, SSWRITE_VALUE_TYPED_MATRIX, "C",
                &kInfo, kImag, 2, 3, int{DATA_TYPE_UINT16}, SSWRITE_VALUE_PAIR_VECTOR, "D", &info2,
                kImag, kData, 5, int{DATA_TYPE_INT8}, SSWRITE_VALUE_MATRIX, "E", &kInfo, kData, 1,
                6, SSWRITE_VALUE_TYPED_VECTOR, "F", &info2, kImag, 4, int{DATA_TYPE_BOOLEAN}),
            1);
  ASSERT_EQ(calls().size(), 6u);
  struct Expected {
    const char* name;
    const void* info;
    int32_t dataType, nRows, nCols;
  } const expected[] = {{"A", &kInfo, kComplexBit, 1, 2},
                        {"B", &info2, 0, 2, 1},
                        {"C", &kInfo, DATA_TYPE_UINT16, 2, 3},
                        {"D", &info2, 2, 5, 1},
                        {"E", &kInfo, 0, 1, 6},
                        {"F", &info2, 8, 4, 1}};
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(calls()[i].text, expected[i].name);
    EXPECT_EQ(calls()[i].paramInfo, expected[i].info);
    EXPECT_EQ(calls()[i].dataType, expected[i].dataType);
    EXPECT_EQ(calls()[i].nRows, expected[i].nRows);
    EXPECT_EQ(calls()[i].nCols, expected[i].nCols);
  }
  EXPECT_EQ(calls()[0].pair.realPart, kData);
  EXPECT_EQ(calls()[0].pair.imagPart, kImag);
  EXPECT_EQ(calls()[2].value, kImag);
  EXPECT_EQ(calls()[3].pair.realPart, kImag);
  EXPECT_EQ(calls()[3].pair.imagPart, kData);
}

}  // namespace
