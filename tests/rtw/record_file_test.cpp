// What block code leaves in the host's record file, read back from the
// stand-in host's in-memory file.
#include <gtest/gtest.h>

#include <string>

#include "rtw/rtw_writers.h"
#include "services/services.h"
#include "standin_host/rtw_file.h"
#include "tests/rtw/block_code_in_c.h"
#include "tests/rtw/hook_recorder.h"

namespace {

class RecordFile : public ::testing::Test {
 protected:
  void SetUp() override {
    record.rootRecord = &record;
    record.hostInfo = &host;
    file = standinNewRtwFile();
    standinAttachRtwFile(&record, file);
  }
  void TearDown() override { standinFreeRtwFile(file); }
  std::string text() const { return standinRtwFileText(file); }

  SFcnRecord record{};
  HostInfo host{};
  StandinRtwFile* file = nullptr;
};

TEST_F(RecordFile, ParamSettingsBlock) {
  const int32_t channels[3] = {0, 1, -7};
  const double matrix[6] = {1, 2, 3, 4, 5, 6};  // column-major 2 x 3
  const char* const modes[2] = {"fast", "safe"};
  ASSERT_EQ(
      ssWriteRTWParamSettings(&record, 5, SSWRITE_VALUE_SCALAR, "Gain", 2.5, SSWRITE_VALUE_TEXT,
                              "Name", "say \"hi\"", SSWRITE_VALUE_LIST, "Modes", modes, 2,
                              SSWRITE_VALUE_TYPED_VECTOR, "Channels", channels, 3,
                              int{DATA_TYPE_INT32}, SSWRITE_VALUE_MATRIX, "Table", matrix, 2, 3),
      1);
  EXPECT_EQ(text(),
            "SFcnParamSettings {\n"
            "  Gain  2.5\n"
            "  Name  \"say \\\"hi\\\"\"\n"
            "  Modes  [\"fast\", \"safe\"]\n"
            "  Channels  [0, 1, -7]\n"
            "  Table  [[1, 3, 5]; [2, 4, 6]]\n"
            "}\n");
}

TEST_F(RecordFile, RWorkDefinition) {
  record.sizesBlock.rworkLength = 7;
  ASSERT_EQ(ssWriteRTWWorkVect(&record, "RWork", 2, "a", 3, "b", 4), 1);
  EXPECT_EQ(text(),
            "NumRWorkDefines  2\n"
            "RWorkDefine {\n"
            "  Name  \"a\"\n"
            "  Width  3\n"
            "  StartIndex  0\n"
            "}\n"
            "RWorkDefine {\n"
            "  Name  \"b\"\n"
            "  Width  4\n"
            "  StartIndex  3\n"
            "}\n");
}

TEST_F(RecordFile, BlockCodeInC) {
  record.sizesBlock.iworkLength = 3;
  ASSERT_EQ(writeSettingsFromC(&record), 1);
  ASSERT_EQ(writeIWorkFromC(&record), 1);
  EXPECT_EQ(text(),
            "SFcnParamSettings {\n"
            "  Gain  0.5\n"
            "  Mode  \"fast\"\n"
            "  Empty  []\n"
            "  Channels  [0, 1]\n"
            "}\n"
            "NumIWorkDefines  2\n"
            "IWorkDefine {\n"
            "  Name  \"count\"\n"
            "  Width  1\n"
            "  StartIndex  0\n"
            "}\n"
            "IWorkDefine {\n"
            "  Name  \"state\"\n"
            "  Width  2\n"
            "  StartIndex  1\n"
            "}\n");
}

TEST_F(RecordFile, ValuesByCodeAndDataType) {
  const double re[4] = {1.5, -2, 0.1, 4};
  const double im[4] = {2, 0.25, -3, 0};
  const double interleaved[2] = {1, -1};
  const float single = 0.1f;
  const uint8_t flags[3] = {1, 0, 1};
  const int16_t shorts[2] = {-300, 300};
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_ITEM, "Kind", "Gain"), 1);
  ASSERT_EQ(ssWriteRTWRealImagVect(&record, "Z", re, im, kComplexBit, 3), 1);
  ASSERT_EQ(ssWriteRTWRealImagVect(&record, "RealOnly", re, nullptr, DATA_TYPE_DOUBLE, 2), 1);
  ASSERT_EQ(ssWriteRTWRealImagMatrix(&record, "ZM", re, im, kComplexBit, 2, 2), 1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_SCALAR, "C", interleaved,
                                    kComplexBit | DATA_TYPE_DOUBLE),
            1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_SCALAR, "S", &single,
                                    int{DATA_TYPE_SINGLE}),
            1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_VECTOR, "B", flags,
                                    int{DATA_TYPE_BOOLEAN}, 3),
            1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_MATRIX, "H", shorts,
                                    int{DATA_TYPE_INT16}, 1, 2),
            1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_MATRIX, "None", nullptr,
                                    int{DATA_TYPE_INT16}, 0, 0),
            1);
  ASSERT_EQ(ssWriteRTWNameValuePair(&record, SSWRITE_VALUE_TYPED_SCALAR, "Custom", re, 14), 1);
  EXPECT_EQ(text(),
            "Kind  Gain\n"
            "Z  [1.5+2i, -2+0.25i, 0.1-3i]\n"
            "RealOnly  [1.5, -2]\n"
            "ZM  [[1.5+2i, 0.1-3i]; [-2+0.25i, 4+0i]]\n"
            "C  1-1i\n"
            "S  0.1\n"
            "B  [1, 0, 1]\n"
            "H  [[-300, 300]]\n"
            "None  []\n"
            "Custom  <data type 14>\n");
}

TEST_F(RecordFile, Parameters) {
  const double gains[2] = {0.5, 2};
  const int32_t re[2] = {1, 2};
  const int32_t im[2] = {3, -4};
  ASSERT_EQ(ssWriteRTWParameters(&record, 2, SSWRITE_VALUE_VECTOR, "Gains", nullptr, gains, 2,
                                 SSWRITE_VALUE_PAIR_MATRIX, "Z", nullptr, re, im, 1, 2,
                                 kComplexBit | DATA_TYPE_INT32),
            1);
  EXPECT_EQ(text(),
            "Parameter {\n"
            "  Name  \"Gains\"\n"
            "  Dimensions  [2, 1]\n"
            "  DataTypeId  0\n"
            "  Value  [0.5, 2]\n"
            "}\n"
            "Parameter {\n"
            "  Name  \"Z\"\n"
            "  Dimensions  [1, 2]\n"
            "  DataTypeId  65542\n"
            "  Value  [[1+3i, 2-4i]]\n"
            "}\n");
}

// A host file that stops taking entries: what was written stays, the
// settings block is left open.
TEST_F(RecordFile, FailingHostLeavesThePartialBlock) {
  standinRtwFileFailFrom(file, 2, 0);
  EXPECT_EQ(ssWriteRTWParamSettings(&record, 3, SSWRITE_VALUE_SCALAR, "A", 1.0,
                                    SSWRITE_VALUE_SCALAR, "B", 2.0, SSWRITE_VALUE_SCALAR, "C", 3.0),
            0);
  EXPECT_EQ(text(), "SFcnParamSettings {\n  A  1\n");
  EXPECT_EQ(standinRtwFileCallCount(file), 3);
}

TEST_F(RecordFile, RefusedElementLeavesItsOpeningLine) {
  record.sizesBlock.pworkLength = 2;
  const char* const noName = nullptr;
  EXPECT_EQ(ssWriteRTWWorkVect(&record, "PWork", 2, "p", 1, noName, 1), 0);
  EXPECT_EQ(text(),
            "NumPWorkDefines  2\n"
            "PWorkDefine {\n"
            "  Name  \"p\"\n"
            "  Width  1\n"
            "  StartIndex  0\n"
            "}\n"
            "PWorkDefine {\n");
}

}  // namespace
