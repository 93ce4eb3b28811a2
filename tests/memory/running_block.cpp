#include "tests/memory/running_block.h"

#include <initializer_list>

#include "gateway/sfcn_names.h"
#include "host/mex_api.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"

namespace memory_test {

namespace {

constexpr double kFlagSampleTimes = 101;
constexpr double kFlagOutputs = 104;

}  // namespace

RunningBlock::RunningBlock()
    : record_(standinNewHostRecord(S_FUNCTION_NAME, "model/twinvolts")),
      empty_(standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL)),
      flag_(standinCreateScalar(mxDOUBLE_CLASS, kFlagOutputs)),
      setupFlag_(standinCreateScalar(mxDOUBLE_CLASS, 0.0)) {
  mxArray* attach = standinNewAttachArgument(record_);
  mxArray* sizes[1] = {nullptr};
  const mxArray* rhs[4] = {empty_, attach, empty_, setupFlag_};
  const bool setUp = standinCallMexFunction(mexFunction, 1, sizes, 4, rhs);
  if (sizes[0] != nullptr) mxDestroyArray(sizes[0]);
  mxDestroyArray(attach);

  methodLhs_[1] = reinterpret_cast<mxArray*>(record_);
  for (const mxArray*& argument : methodRhs_) argument = empty_;
  methodRhs_[3] = flag_;
  ready_ = setUp && record_->mdlOutputs != nullptr && methodCall(kFlagSampleTimes) &&
           standinConnectInput(record_, 0, signal_);
  *static_cast<double*>(standinRealData(flag_)) = kFlagOutputs;
}

RunningBlock::~RunningBlock() {
  for (mxArray* array : {empty_, flag_, setupFlag_}) mxDestroyArray(array);
  standinFreeHostRecord(record_);
}

void RunningBlock::setInput(double ao0, double ao1) {
  signal_[0] = ao0;
  signal_[1] = ao1;
}

bool RunningBlock::methodCall(double flag) {
  *static_cast<double*>(standinRealData(flag_)) = flag;
  record_->errorMessage = nullptr;
  return standinCallMexFunction(mexFunction, -1, methodLhs_, 4, methodRhs_) &&
         record_->errorMessage == nullptr;
}

bool RunningBlock::stepThroughSlot() {
  record_->mdlOutputs(record_, 0);
  return record_->errorMessage == nullptr;
}

bool RunningBlock::stepThroughMexFunction() {
  return standinCallMexFunction(mexFunction, -1, methodLhs_, 4, methodRhs_) &&
         record_->errorMessage == nullptr;
}

void RunningBlock::stepThroughBareMexFunction() {
  mexFunction(-1, methodLhs_, 4, methodRhs_);
}

bool RunningBlock::standaloneSetUp() {
  mxArray* sizes[1] = {nullptr};
  const mxArray* rhs[4] = {empty_, empty_, empty_, setupFlag_};
  const bool returned = standinCallMexFunction(mexFunction, 1, sizes, 4, rhs);
  const bool gotSizes = returned && sizes[0] != nullptr && mxGetM(sizes[0]) == 38;
  if (sizes[0] != nullptr) mxDestroyArray(sizes[0]);
  return gotSizes;
}

}  // namespace memory_test
