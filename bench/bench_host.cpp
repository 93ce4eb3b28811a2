#include "bench/bench_host.h"

#include "gateway/sfcn_names.h"
#include "host/daqmx.h"
#include "simcard/simcard.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"

namespace bench {
namespace {

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
  session_.emplace(module_.mexFunction, S_FUNCTION_NAME, "model/twinvolts");
  setUpSession_.emplace(module_.mexFunction, S_FUNCTION_NAME, "model/twinvolts set-up");
  SFcnRecord* record = session_->record();
  if (!session_->setUp() || !session_->method(standin::kFlagSampleTimes) ||
      !standinConnectInput(record, 0, signal_) || record->mdlOutputs == nullptr) {
    error_ = std::string("the block could not be set up: ") + session_->error();
  }
}

BenchHost::~BenchHost() {
  // The records go before the module whose code they point into.
  session_.reset();
  setUpSession_.reset();
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
  session_->record()->mdlOutputs(session_->record(), 0);
}

bool BenchHost::stepThroughCallSite() {
  return session_->method(standin::kFlagOutputs);
}

void BenchHost::stepThroughBareMexFunction() {
  session_->bareMethod(standin::kFlagOutputs);
}

bool BenchHost::standaloneSetUp() {
  return session_->standaloneSetUp();
}

bool BenchHost::directSetUp() {
  return setUpSession_->setUp();
}

}  // namespace bench
