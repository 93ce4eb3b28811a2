#include <gtest/gtest.h>

#include <functional>

#include "rtw/rtw_writers.h"
#include "tests/rtw/hook_recorder.h"

namespace {

constexpr const char* kLineMessage = "ssWriteRTWLine called without a record-file line writer hook";
constexpr const char* kNameValueMessage =
    "ssWriteRTWNameValuePair called without a record-file name/value writer hook";
constexpr const char* kParamMessage =
    "ssWriteRTWParameters called without a record-file parameter writer hook";
constexpr const char* kSettingsMessage =
    "ssWriteRTWParamSettings called without the record-file line and name/value writer hooks";
constexpr const char* kWorkVectMessage =
    "ssWriteRTWWorkVect called without the record-file line and name/value writer hooks";

const double kData[2] = {1, 2};

struct WriterCall {
  const char* label;
  std::function<int32_t(SFcnRecord*)> write;
  const char* message;
};

const WriterCall kEveryWriter[] = {
    {"Line", [](SFcnRecord* r) { return ssWriteRTWLine(r, "x"); }, kLineMessage},
    {"NameValuePair",
     [](SFcnRecord* r) { return ssWriteRTWNameValuePair(r, SSWRITE_VALUE_TEXT, "N", "v"); },
     kNameValueMessage},
    {"RealImagVect",
     [](SFcnRecord* r) { return ssWriteRTWRealImagVect(r, "N", kData, kData, 0, 2); },
     kNameValueMessage},
    {"RealImagMatrix",
     [](SFcnRecord* r) { return ssWriteRTWRealImagMatrix(r, "N", kData, kData, 0, 1, 2); },
     kNameValueMessage},
    {"Parameters",
     [](SFcnRecord* r) {
       return ssWriteRTWParameters(r, 1, SSWRITE_VALUE_VECTOR, "P", kData, kData, 2);
     },
     kParamMessage},
    {"ParamSettings",
     [](SFcnRecord* r) { return ssWriteRTWParamSettings(r, 1, SSWRITE_VALUE_SCALAR, "G", 2.5); },
     kSettingsMessage},
    {"WorkVect", [](SFcnRecord* r) { return ssWriteRTWWorkVect(r, "RWork", 1, "a", 1); },
     kWorkVectMessage},
};

// A record whose HostInfo is zero-filled, as the stand-alone set-up makes
// it, and one without HostInfo at all.
class WriterWithoutHooks : public ::testing::TestWithParam<WriterCall> {};

TEST_P(WriterWithoutHooks, RefusesAndNamesTheWriter) {
  HostInfo zeroFilled{};
  for (HostInfo* host : {&zeroFilled, static_cast<HostInfo*>(nullptr)}) {
    SCOPED_TRACE(host != nullptr ? "zero-filled HostInfo" : "no HostInfo");
    SFcnRecord record{};
    record.rootRecord = &record;
    record.hostInfo = host;
    record.sizesBlock.rworkLength = 1;
    EXPECT_EQ(GetParam().write(&record), 0);
    EXPECT_STREQ(record.errorMessage, GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriterWithoutHooks, ::testing::ValuesIn(kEveryWriter),
                         [](const ::testing::TestParamInfo<WriterCall>& info) {
                           return info.param.label;
                         });

// With only the line hook, the group writers must not write a half block.
TEST_F(RtwWriterTest, GroupWritersNeedBothHooksBeforeWritingAnything) {
  host.writeRtwNameValueFcn = nullptr;
  record.sizesBlock.rworkLength = 1;
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 1, SSWRITE_VALUE_SCALAR, "G", 2.5), 0);
  EXPECT_STREQ(errorSlot(), kSettingsMessage);
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "RWork", 1, "a", 1), 0);
  EXPECT_STREQ(errorSlot(), kWorkVectMessage);
  EXPECT_TRUE(calls().empty());
}

TEST_F(RtwWriterTest, ArgumentChecksComeBeforeTheHookCheck) {
  host.writeRtwNameValueFcn = nullptr;
  host.writeRtwParamFcn = nullptr;
  EXPECT_EQ(ssWriteRTWNameValuePair(&record, 11, "N", "v"), 0);
  EXPECT_STREQ(errorSlot(), "Invalid SSWRITE_VALUE_type passed to ssWriteRTWNameValuePair");
  EXPECT_EQ(ssWriteRTWParameters(&record, 1, SSWRITE_VALUE_VECTOR, "", kData, kData, 2), 0);
  EXPECT_STREQ(errorSlot(), "Invalid arguments passed to ssWriteRTWParameters");
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "DWork", 1, "a", 1), 0);
  EXPECT_STREQ(errorSlot(),
               "Invalid work vector name (vectName) passed to ssWriteRTWWorkVect (must be RWork, "
               "IWork, or PWork");
  record.errorMessage = "earlier";
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 0), 0);
  EXPECT_STREQ(errorSlot(), "earlier");
  EXPECT_EQ(ssWriteRTWParameters(&record, 0), 1);
}

}  // namespace
