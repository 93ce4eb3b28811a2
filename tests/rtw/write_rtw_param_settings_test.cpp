#include "rtw/rtw_writers.h"

#include <gtest/gtest.h>

#include <functional>

#include "services/services.h"
#include "tests/rtw/hook_recorder.h"

namespace {

constexpr const char* kTypeMessage = "Invalid SSWRITE_VALUE_type passed to ssWriteRTWParamSettings";
constexpr const char* kNameMessage = "Invalid name passed to ssWriteRTWNameValuePair";
constexpr const char* kDimsMessage =
    "Invalid number of rows or columns passed to ssWriteRTWNameValuePair";
constexpr const char* kNullMessage = "Invalid value (NULL) passed to ssWriteRTWNameValuePair";

const double kData[6] = {1, 2, 3, 4, 5, 6};
const double kImag[6] = {-1, -2, -3, -4, -5, -6};
const char* const kItems[2] = {"a", "b"};
const void* const kNoValue = nullptr;

// What the name/value hook must receive for one setting.
struct ForwardedSetting {
  const char* label;
  std::function<int32_t(SFcnRecord*)> write;
  int32_t type;
  const void* value;  // null for the codes whose value is the writer's own
  int32_t dataType, nRows, nCols;
};

class SettingForwarding : public RtwWriterTest,
                          public ::testing::WithParamInterface<ForwardedSetting> {};

TEST_P(SettingForwarding, ReordersTheWordsForTheNameValueWriter) {
  const ForwardedSetting& c = GetParam();
  EXPECT_EQ(c.write(&record), 1);
  ASSERT_EQ(calls().size(), 3u);
  EXPECT_EQ(calls()[0].kind, HookKind::kLine);
  EXPECT_EQ(calls()[0].text, "SFcnParamSettings {");
  EXPECT_EQ(calls()[2].kind, HookKind::kLine);
  EXPECT_EQ(calls()[2].text, "}");
  const HookCall& pair = calls()[1];
  EXPECT_EQ(pair.kind, HookKind::kNameValue);
  EXPECT_EQ(pair.text, "S");
  EXPECT_EQ(pair.type, c.type);
  if (c.value != nullptr) {
    EXPECT_EQ(pair.value, c.value);
  }
  EXPECT_EQ(pair.dataType, c.dataType);
  EXPECT_EQ(pair.nRows, c.nRows);
  EXPECT_EQ(pair.nCols, c.nCols);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, SettingForwarding,
    ::testing::Values(
        ForwardedSetting{"Item",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_ITEM, "S", "x");
                         },
                         0, nullptr, 0, 1, 1},
        ForwardedSetting{"Text",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_TEXT, "S", kItems[0]);
                         },
                         1, kItems[0], 0, 1, 1},
        ForwardedSetting{"List",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_LIST, "S", kItems, 2);
                         },
                         2, kItems, 0, 2, 1},
        ForwardedSetting{"Vector",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_VECTOR, "S", kData,
                                                          5);
                         },
                         4, kData, 0, 5, 1},
        ForwardedSetting{"Matrix",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_MATRIX, "S", kData, 2,
                                                          3);
                         },
                         5, kData, 0, 2, 3},
        ForwardedSetting{"TypedScalar",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_TYPED_SCALAR, "S",
                                                          kData, int{DATA_TYPE_UINT32});
                         },
                         6, kData, DATA_TYPE_UINT32, 1, 1},
        ForwardedSetting{"TypedVector",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_TYPED_VECTOR, "S",
                                                          kData, 4, int{DATA_TYPE_INT32});
                         },
                         7, kData, DATA_TYPE_INT32, 4, 1},
        ForwardedSetting{"TypedMatrix",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_TYPED_MATRIX, "S",
                                                          kData, 3, 2, int{DATA_TYPE_SINGLE});
                         },
                         8, kData, DATA_TYPE_SINGLE, 3, 2},
        ForwardedSetting{"PairVector",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_PAIR_VECTOR, "S",
                                                          kData, kImag, 6,
                                                          kComplexBit | DATA_TYPE_INT8);
                         },
                         9, nullptr, kComplexBit | DATA_TYPE_INT8, 6, 1},
        ForwardedSetting{"PairMatrix",
                         [](SFcnRecord* r) {
                           return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_PAIR_MATRIX, "S",
                                                          kData, kNoValue, 2, 3,
                                                          int{DATA_TYPE_DOUBLE});
                         },
                         10, nullptr, 0, 2, 3}),
    [](const ::testing::TestParamInfo<ForwardedSetting>& info) { return info.param.label; });

TEST_F(RtwWriterTest, ScalarSettingPassesTheAddressOfItsNumberAsADouble) {
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 1, SSWRITE_VALUE_SCALAR, "Gain", 2.5), 1);
  ASSERT_EQ(calls().size(), 3u);
  const HookCall& call = calls()[1];
  EXPECT_EQ(call.type, SSWRITE_VALUE_SCALAR);
  EXPECT_EQ(call.text, "Gain");
  EXPECT_NE(call.value, nullptr);
  EXPECT_EQ(call.dataType, DATA_TYPE_DOUBLE);
  EXPECT_EQ(call.seenDouble, 2.5);
  EXPECT_EQ(call.nRows, 1);
  EXPECT_EQ(call.nCols, 1);
}

TEST_F(RtwWriterTest, PairSettingsPassThePairOfTheirParts) {
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 2, SSWRITE_VALUE_PAIR_VECTOR, "V", kData, kImag, 2,
                                    kComplexBit, SSWRITE_VALUE_PAIR_MATRIX, "M", kImag, kNoValue, 1,
                                    2, int{DATA_TYPE_DOUBLE}),
            1);
  ASSERT_EQ(calls().size(), 4u);
  EXPECT_EQ(calls()[1].pair.realPart, kData);
  EXPECT_EQ(calls()[1].pair.imagPart, kImag);
  EXPECT_EQ(calls()[2].pair.realPart, kImag);
  EXPECT_EQ(calls()[2].pair.imagPart, nullptr);
}

// Doubles and words mixed in one list: the number must not shift the words
// of the settings after it, on any target.
TEST_F(RtwWriterTest, SettingsOfEveryCodeInOneCallStayInStep) {
  EXPECT_EQ(ssWriteRTWParamSettings(
                &record, 11, SSWRITE_VALUE_ITEM, "A", "item", SSWRITE_VALUE_SCALAR, "B", -0.125,
                SSWRITE_VALUE_TEXT, "C", "text", SSWRITE_VALUE_SCALAR, "D", 1e300,
                SSWRITE_VALUE_LIST, "E", kItems, 2, SSWRITE_VALUE_VECTOR, "F", kData, 3,
                SSWRITE_VALUE_MATRIX, "G", kData, 3, 2, SSWRITE_VALUE_TYPED_SCALAR, "H", kData,
                int{DATA_TYPE_INT32}, SSWRITE_VALUE_TYPED_VECTOR, "I", kData, 2,
                int{DATA_TYPE_UINT8}, SSWRITE_VALUE_PAIR_VECTOR, "J", kData, kImag, 4, kComplexBit,
                SSWRITE_VALUE_TYPED_MATRIX, "K", kImag, 1, 5, int{DATA_TYPE_INT16}),
            1);
  ASSERT_EQ(calls().size(), 13u);
  struct Expected {
    const char* name;
    int32_t type, dataType, nRows, nCols;
  } const expected[] = {{"A", 0, 0, 1, 1},           {"B", 3, 0, 1, 1}, {"C", 1, 0, 1, 1},
                        {"D", 3, 0, 1, 1},           {"E", 2, 0, 2, 1}, {"F", 4, 0, 3, 1},
                        {"G", 5, 0, 3, 2},           {"H", 6, 6, 1, 1}, {"I", 7, 3, 2, 1},
                        {"J", 9, kComplexBit, 4, 1}, {"K", 8, 4, 1, 5}};
  for (size_t i = 0; i < 11; ++i) {
    SCOPED_TRACE(expected[i].name);
    const HookCall& call = calls()[i + 1];
    EXPECT_EQ(call.text, expected[i].name);
    EXPECT_EQ(call.type, expected[i].type);
    EXPECT_EQ(call.dataType, expected[i].dataType);
    EXPECT_EQ(call.nRows, expected[i].nRows);
    EXPECT_EQ(call.nCols, expected[i].nCols);
  }
  EXPECT_EQ(calls()[2].seenDouble, -0.125);
  EXPECT_EQ(calls()[3].seenText, "text");
  EXPECT_EQ(calls()[4].seenDouble, 1e300);
  EXPECT_EQ(calls()[11].value, kImag);
  EXPECT_EQ(calls()[12].text, "}");
}

TEST_F(RtwWriterTest, NoSettingsWriteNothingAndLeaveTheSlot) {
  record.errorMessage = "earlier";
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 0), 0);
  EXPECT_EQ(ssWriteRTWParamSettings(&record, -1), 0);
  EXPECT_TRUE(calls().empty());
  EXPECT_STREQ(errorSlot(), "earlier");
}

// A failing second setting leaves the opening line and the first setting
// in place, without a closing line.
struct FailingSetting {
  const char* label;
  std::function<int32_t(SFcnRecord*)> write;
  const char* message;
};

class FailingSecondSetting : public RtwWriterTest,
                             public ::testing::WithParamInterface<FailingSetting> {};

TEST_P(FailingSecondSetting, LeavesWhatWasWritten) {
  EXPECT_EQ(GetParam().write(&record), 0);
  EXPECT_STREQ(errorSlot(), GetParam().message);
  EXPECT_EQ(hooks.lines(), (std::vector<std::string>{"SFcnParamSettings {", "First"}));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRefusal, FailingSecondSetting,
    ::testing::Values(
        FailingSetting{"EmptyName",
                       [](SFcnRecord* r) {
                         return ssWriteRTWParamSettings(r, 3, SSWRITE_VALUE_SCALAR, "First", 1.0,
                                                        SSWRITE_VALUE_TEXT, "", "x",
                                                        SSWRITE_VALUE_TEXT, "Third", "y");
                       },
                       kNameMessage},
        FailingSetting{"CodeAboveTen",
                       [](SFcnRecord* r) {
                         return ssWriteRTWParamSettings(r, 2, SSWRITE_VALUE_SCALAR, "First", 1.0,
                                                        11, "Second", "x");
                       },
                       kTypeMessage},
        FailingSetting{"NegativeCode",
                       [](SFcnRecord* r) {
                         return ssWriteRTWParamSettings(r, 2, SSWRITE_VALUE_SCALAR, "First", 1.0,
                                                        -1, "Second", "x");
                       },
                       kTypeMessage},
        FailingSetting{"HalfEmptyMatrix",
                       [](SFcnRecord* r) {
                         return ssWriteRTWParamSettings(r, 2, SSWRITE_VALUE_SCALAR, "First", 1.0,
                                                        SSWRITE_VALUE_MATRIX, "Second", kData, 0,
                                                        2);
                       },
                       kDimsMessage},
        FailingSetting{"ComplexPairWithoutImag",
                       [](SFcnRecord* r) {
                         return ssWriteRTWParamSettings(r, 2, SSWRITE_VALUE_SCALAR, "First", 1.0,
                                                        SSWRITE_VALUE_PAIR_VECTOR, "Second", kData,
                                                        kNoValue, 2, kComplexBit);
                       },
                       kNullMessage}),
    [](const ::testing::TestParamInfo<FailingSetting>& info) { return info.param.label; });

TEST_F(RtwWriterTest, SettingsReturnTheResultOfTheStepThatFailed) {
  struct Case {
    int failingCall;
    int32_t result;
    size_t callsMade;
  } const cases[] = {{0, 0, 1}, {0, 5, 1}, {1, 0, 2}, {2, -4, 3}, {3, 2, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failingCall);
    HookRecorder fresh;
    fresh.install(&host);
    fresh.resultAt(c.failingCall, c.result);
    record.errorMessage = nullptr;
    EXPECT_EQ(ssWriteRTWParamSettings(&record, 2, SSWRITE_VALUE_TEXT, "A", "a", SSWRITE_VALUE_TEXT,
                                      "B", "b"),
              c.result);
    EXPECT_EQ(fresh.calls().size(), c.callsMade);
    EXPECT_EQ(errorSlot(), nullptr);  // a hook's failure adds no message
  }
}

}  // namespace
