#include "services/services.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "standin_host/host_record.h"

namespace {

// What a dimension hook saw while it ran; the descriptor is gone afterwards.
struct DimsCall {
  SFcnRecord* record;
  int32_t port;
  const DimsDescriptor* address;
  DimsDescriptor seen;
  bool dimValuesIsOwnElementCount;
  std::vector<int32_t> dims;
};

std::vector<DimsCall> inputCalls;
std::vector<DimsCall> outputCalls;
int32_t hookResult;

DimsCall capture(SFcnRecord* record, int32_t port, DimsDescriptor* dims) {
  DimsCall call{record, port, dims, *dims, dims->dimValues == &dims->elementCount, {}};
  if (dims->dimValues != nullptr && dims->dimCount > 0)
    call.dims.assign(dims->dimValues, dims->dimValues + dims->dimCount);
  return call;
}

int32_t HOST_CALL recordInputDims(SFcnRecord* record, int32_t port, DimsDescriptor* dims) {
  inputCalls.push_back(capture(record, port, dims));
  return hookResult;
}

int32_t HOST_CALL recordOutputDims(SFcnRecord* record, int32_t port, DimsDescriptor* dims) {
  outputCalls.push_back(capture(record, port, dims));
  return hookResult;
}

enum class Side { kInput, kOutput };
const Side kSides[] = {Side::kInput, Side::kOutput};

class PortDimsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clearCalls();
    record_ = standinNewHostRecord("twinvolts", "m/B");
    record_->hostInfo->setInputPortDimsFcn = recordInputDims;
    record_->hostInfo->setOutputPortDimsFcn = recordOutputDims;
  }
  void TearDown() override { standinFreeHostRecord(record_); }

  static void clearCalls() {
    inputCalls.clear();
    outputCalls.clear();
    hookResult = 1;
  }

  int32_t vector(Side side, int32_t port, int32_t width) {
    return side == Side::kInput ? ssSetInputPortVectorShape(record_, port, width)
                                : ssSetOutputPortVectorShape(record_, port, width);
  }
  int32_t matrix(Side side, int32_t port, int32_t rows, int32_t cols) {
    return side == Side::kInput ? ssSetInputPortMatrixShape(record_, port, rows, cols)
                                : ssSetOutputPortMatrixShape(record_, port, rows, cols);
  }
  // The one call the forwarder made, checking that the other hook stayed idle.
  static const DimsCall& onlyCall(Side side) {
    const std::vector<DimsCall>& mine = side == Side::kInput ? inputCalls : outputCalls;
    const std::vector<DimsCall>& other = side == Side::kInput ? outputCalls : inputCalls;
    EXPECT_TRUE(other.empty());
    EXPECT_EQ(mine.size(), 1u);
    return mine.back();
  }

  SFcnRecord* record_ = nullptr;
};

struct MatrixCase {
  int32_t rows;
  int32_t cols;
  int32_t elementCount;
};

const MatrixCase kMatrixCases[] = {
    {3, 4, 12},
    {-1, 4, -1},
    {5, -1, -1},
    {-1, -1, -1},
    {0, 5, 0},
    {-2, 3, -6},
    {-2, -3, 6},
    {-1, 0, -1},
    {1, 1, 1},
    {65536, 65536, 0},
    {65537, 65537, 131073},
    {46341, 46341, -2147479015},
    {INT32_MIN, -1, -1},
    {INT32_MIN, 2, 0},
    {INT32_MAX, 2, -2},
};

TEST_F(PortDimsTest, MatrixShapePassesRowsColsAndWrappedProduct) {
  for (Side side : kSides) {
    for (const MatrixCase& c : kMatrixCases) {
      SCOPED_TRACE(testing::Message()
                   << (side == Side::kInput ? "input " : "output ") << c.rows << " x " << c.cols);
      clearCalls();
      EXPECT_EQ(matrix(side, 2, c.rows, c.cols), 1);
      const DimsCall& call = onlyCall(side);
      EXPECT_EQ(call.record, record_);
      EXPECT_EQ(call.port, 2);
      EXPECT_EQ(call.seen.elementCount, c.elementCount);
      EXPECT_EQ(call.seen.dimCount, 2);
      EXPECT_EQ(call.dims, (std::vector<int32_t>{c.rows, c.cols}));
      EXPECT_EQ(call.seen.reserved, 0u);
    }
  }
}

TEST_F(PortDimsTest, VectorShapeUsesDescriptorsOwnElementCountAsDimension) {
  const int32_t widths[] = {-1, 0, 1, 2, 1000, -7, INT32_MIN, INT32_MAX};
  for (Side side : kSides) {
    for (int32_t width : widths) {
      SCOPED_TRACE(testing::Message() << (side == Side::kInput ? "input " : "output ") << width);
      clearCalls();
      EXPECT_EQ(vector(side, 0, width), 1);
      const DimsCall& call = onlyCall(side);
      EXPECT_EQ(call.record, record_);
      EXPECT_EQ(call.port, 0);
      EXPECT_EQ(call.seen.elementCount, width);
      EXPECT_EQ(call.seen.dimCount, 1);
      EXPECT_TRUE(call.dimValuesIsOwnElementCount);
      EXPECT_EQ(call.dims, std::vector<int32_t>{width});
      EXPECT_EQ(call.seen.reserved, 0u);
    }
  }
}

TEST_F(PortDimsTest, HookResultAndPortPassUnchanged) {
  const int32_t results[] = {0, 1, -5, 42, INT32_MIN};
  const int32_t ports[] = {0, -1, 99, INT32_MAX};
  for (Side side : kSides) {
    for (int32_t result : results) {
      for (int32_t port : ports) {
        SCOPED_TRACE(testing::Message() << "result " << result << " port " << port);
        clearCalls();
        hookResult = result;
        EXPECT_EQ(vector(side, port, 2), result);
        EXPECT_EQ(matrix(side, port, 3, 4), result);
        const std::vector<DimsCall>& calls = side == Side::kInput ? inputCalls : outputCalls;
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].port, port);
        EXPECT_EQ(calls[1].port, port);
      }
    }
  }
}

TEST_F(PortDimsTest, AbsentHookSucceedsWithoutCallingTheOther) {
  record_->hostInfo->setInputPortDimsFcn = nullptr;
  hookResult = 0;
  EXPECT_EQ(ssSetInputPortVectorShape(record_, 0, 2), 1);
  EXPECT_EQ(ssSetInputPortMatrixShape(record_, 0, 3, 4), 1);
  EXPECT_TRUE(inputCalls.empty());
  EXPECT_TRUE(outputCalls.empty());

  record_->hostInfo->setInputPortDimsFcn = recordInputDims;
  record_->hostInfo->setOutputPortDimsFcn = nullptr;
  EXPECT_EQ(ssSetOutputPortVectorShape(record_, 0, 2), 1);
  EXPECT_EQ(ssSetOutputPortMatrixShape(record_, 0, 3, 4), 1);
  EXPECT_TRUE(inputCalls.empty());
  EXPECT_TRUE(outputCalls.empty());
}

TEST_F(PortDimsTest, RecordWithoutHostInfoSucceeds) {
  SFcnRecord bare{};
  EXPECT_EQ(ssSetInputPortVectorShape(&bare, 0, 2), 1);
  EXPECT_EQ(ssSetOutputPortVectorShape(&bare, 0, 2), 1);
  EXPECT_EQ(ssSetInputPortMatrixShape(&bare, 0, 3, 4), 1);
  EXPECT_EQ(ssSetOutputPortMatrixShape(&bare, 0, 3, 4), 1);
}

TEST_F(PortDimsTest, DefaultDescriptorIsNotFixedAndStaysSo) {
  ssSetInputPortVectorShape(record_, 0, 5);
  ssSetOutputPortMatrixShape(record_, 0, 2, 3);
  EXPECT_EQ(defaultDims, &defaultDimsDescriptor);
  EXPECT_EQ(defaultDims->elementCount, -1);
  EXPECT_EQ(defaultDims->dimCount, -1);
  EXPECT_EQ(defaultDims->dimValues, nullptr);
  EXPECT_EQ(defaultDims->reserved, 0u);
  ASSERT_EQ(inputCalls.size(), 1u);
  EXPECT_NE(inputCalls[0].address, defaultDims);
}

}  // namespace
