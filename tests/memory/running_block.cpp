#include "tests/memory/running_block.h"

#include "host/mex_api.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_record.h"

namespace memory_test {

RunningBlock::RunningBlock() : session_(mexFunction, "twinvolts", "model/twinvolts") {
  ready_ = session_.setUp() && record()->mdlOutputs != nullptr &&
           session_.method(standin::kFlagSampleTimes) && standinConnectInput(record(), 0, signal_);
}

void RunningBlock::setInput(double ao0, double ao1) {
  signal_[0] = ao0;
  signal_[1] = ao1;
}

bool RunningBlock::stepThroughSlot() {
  record()->mdlOutputs(record(), 0);
  return record()->errorMessage == nullptr;
}

bool RunningBlock::stepThroughMexFunction() {
  return session_.method(standin::kFlagOutputs);
}

void RunningBlock::stepThroughBareMexFunction() {
  session_.bareMethod(standin::kFlagOutputs);
}

bool RunningBlock::standaloneSetUp() {
  mxArray* sizes = nullptr;
  const bool returned = session_.standaloneSetUp(&sizes);
  const bool gotSizes = returned && sizes != nullptr && mxGetM(sizes) == 38;
  if (sizes != nullptr) mxDestroyArray(sizes);
  return gotSizes;
}

bool RunningBlock::setUp() {
  return session_.setUp();
}

bool RunningBlock::shutDown() {
  return session_.method(standin::kFlagTerminate);
}

}  // namespace memory_test
