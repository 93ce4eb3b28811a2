#include "bench/bench_host.h"

#include <initializer_list>

#include "gateway/sfcn_names.h"
#include "host/daqmx.h"
#include "simcard/simcard.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"

namespace bench {
namespace {

constexpr double kFlagSampleTimes = 101;
constexpr double kFlagOutputs = 104;

// The arguments the block passes to every write.
constexpr int32 kSamplesPerChannel = 1;
constexpr bool32 kAutoStart = 0;
constexpr float64 kTimeoutSeconds = 10.0;
constexpr bool32 kDataLayout = 0;

}  // namespace

BenchHost::BenchHost(const std::string& modulePath) {
  standinReset();
  simcardReset();
  simcardSetWritesNoop(true);
  char message[STANDIN_LOAD_MESSAGE_SIZE];
  if (standinLoadModule(modulePath.c_str(), &module_, message, sizeof message) != STANDIN_LOAD_OK) {
    error_ = message;
    return;
  }
  record_ = standinNewHostRecord(S_FUNCTION_NAME, "model/twinvolts");
  empty_ = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
  attach_ = standinNewAttachArgument(record_);
  setupRecord_ = standinNewHostRecord(S_FUNCTION_NAME, "model/twinvolts set-up");
  setupAttach_ = standinNewAttachArgument(setupRecord_);
  setupFlag_ = standinCreateScalar(mxDOUBLE_CLASS, 0.0);
  methodFlag_ = standinCreateScalar(mxDOUBLE_CLASS, kFlagOutputs);
  methodLhs_[1] = reinterpret_cast<mxArray*>(record_);
  for (const mxArray*& argument : methodRhs_) argument = empty_;
  methodRhs_[3] = methodFlag_;

  if (!setUpCall(attach_) || !methodCall(kFlagSampleTimes) ||
      !standinConnectInput(record_, 0, signal_) || record_->mdlOutputs == nullptr) {
    error_ = std::string("the block could not be set up: ") + standinLastError();
  }
  *static_cast<double*>(standinRealData(methodFlag_)) = kFlagOutputs;
}

BenchHost::~BenchHost() {
  for (mxArray* array : {empty_, attach_, setupAttach_, setupFlag_, methodFlag_}) {
    if (array != nullptr) mxDestroyArray(array);
  }
  standinFreeHostRecord(record_);
  standinFreeHostRecord(setupRecord_);
  standinUnloadModule(&module_);
  simcardSetWritesNoop(false);
}

void BenchHost::driverWrites() {
  ao0_ = signal_[0];
  ao1_ = signal_[1];
  DAQmxWriteAnalogF64(1, kSamplesPerChannel, kAutoStart, kTimeoutSeconds, kDataLayout, &ao0_,
                      &samplesWritten_, nullptr);
  DAQmxWriteAnalogF64(2, kSamplesPerChannel, kAutoStart, kTimeoutSeconds, kDataLayout, &ao1_,
                      &samplesWritten_, nullptr);
}

void BenchHost::stepThroughSlot() {
  record_->mdlOutputs(record_, 0);
}

bool BenchHost::stepThroughCallSite() {
  return standinCallMexFunction(module_.mexFunction, -1, methodLhs_, 4, methodRhs_);
}

void BenchHost::stepThroughBareMexFunction() {
  module_.mexFunction(-1, methodLhs_, 4, methodRhs_);
}

bool BenchHost::methodCall(double flag) {
  *static_cast<double*>(standinRealData(methodFlag_)) = flag;
  record_->errorMessage = nullptr;
  return stepThroughCallSite() && record_->errorMessage == nullptr;
}

bool BenchHost::setUpCall(mxArray* second) {
  mxArray* sizes[1] = {nullptr};
  const mxArray* rhs[4] = {empty_, second, empty_, setupFlag_};
  const bool returned = standinCallMexFunction(module_.mexFunction, 1, sizes, 4, rhs);
  if (sizes[0] != nullptr) mxDestroyArray(sizes[0]);
  return returned;
}

bool BenchHost::standaloneSetUp() {
  return setUpCall(empty_);
}

bool BenchHost::directSetUp() {
  return setUpCall(setupAttach_);
}

}  // namespace bench
