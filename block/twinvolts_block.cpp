// The twinvolts block, top to bottom: its module-wide state and fixed
// configuration, the two channels, then the methods in the order a run calls
// them: set-up, sample times, outputs, shutdown, and the two methods the
// block does not have. Driver statuses are not examined: every method
// carries on with its next call whatever the card says.
#include "block/twinvolts_block.h"

#include "gateway/error_slot.h"

// Plain zero-initialised globals: loading the module runs no code.
extern "C" {
TaskHandle SFcnTaskAo0;
TaskHandle SFcnTaskAo1;
float64 ao0Value;
float64 ao1Value;
int32 samplesWritten;
bool tasksHeld;
}

namespace twinvolts {
namespace {

// The block has no parameters: its whole configuration is constant.
constexpr float64 kMinVolts = 0.0;
constexpr float64 kMaxVolts = 5.0;
constexpr int32 kSamplesPerChannel = 1;
constexpr bool32 kAutoStart = 0;
constexpr float64 kWriteTimeoutSeconds = 10.0;
constexpr bool32 kDataLayout = 0;  // grouped by channel; moot for one sample
// The driver names tasks and channels itself when given empty names.
constexpr char kUnnamed[] = "";

constexpr int32_t kBlockParamCount = 0;
constexpr int32_t kInputPortWidth = 2;
constexpr uint32_t kInputPortAttribute = 0x20;
constexpr double kSamplePeriod = -1.0;  // inherited from the driving block
constexpr double kSampleOffset = 0.0;

struct Channel {
  const char* physicalName;
  TaskHandle* task;
  float64* value;  // the one-sample write buffer
};

// Input element i goes to kChannels[i].
constexpr Channel kChannels[] = {
    {"Dev1/ao0", &SFcnTaskAo0, &ao0Value},
    {"Dev1/ao1", &SFcnTaskAo1, &ao1Value},
};

void openChannel(const Channel& c) {
  DAQmxCreateTask(kUnnamed, c.task);
  DAQmxCreateAOVoltageChan(*c.task, c.physicalName, kUnnamed, kMinVolts, kMaxVolts, DAQmx_Val_Volts,
                           nullptr);
  DAQmxStartTask(*c.task);
}

// Inlined, so a step makes the driver's call itself.
inline void writeSample(TaskHandle task, const float64* value) {
  DAQmxWriteAnalogF64(task, kSamplesPerChannel, kAutoStart, kWriteTimeoutSeconds, kDataLayout,
                      value, &samplesWritten, nullptr);
}

void releaseChannel(const Channel& c) {
  DAQmxStopTask(*c.task);
  DAQmxClearTask(*c.task);
}

// A pair that an earlier set-up started and no shutdown released still
// reserves both channels, so new tasks on them could not start: release it
// first. Unlike shutdown it writes no 0 V: the new pair takes the outputs
// over from their last level.
void releaseHeldPair() {
  if (!tasksHeld) return;
  for (const Channel& c : kChannels) releaseChannel(c);
  tasksHeld = false;
}

void declareInputPort(SFcnRecord* record) {
  record->inputPorts[0].width = kInputPortWidth;
  ssSetInputPortDirectFeedThrough(record, 0, 1);
  record->inputPorts[0].attributes |= kInputPortAttribute;
}

}  // namespace
}  // namespace twinvolts

using namespace twinvolts;

extern "C" void HOST_CALL mdlInitializeSizes(SFcnRecord* record) {
  SFcnSizes& sizes = record->sizesBlock;
  sizes.expectedParamCount = kBlockParamCount;
  if (sizes.expectedParamCount != record->suppliedParamCount) return;

  if (record->setNumInputPortsFcn(record->setNumInputPortsContext, 1) == 0) return;
  declareInputPort(record);
  if (record->setNumOutputPortsFcn(record->setNumOutputPortsContext, 0) == 0) return;
  sizes.sampleTimeCount = 1;

  // Opened here rather than in a start method, so even a set-up that only
  // asks for the sizes holds the card until the next set-up or shutdown.
  releaseHeldPair();
  for (const Channel& c : kChannels) openChannel(c);
  tasksHeld = true;
}

extern "C" void HOST_CALL mdlDeclareSampleTimes(SFcnRecord* record) {
  record->samplePeriods[0] = kSamplePeriod;
  record->sampleOffsets[0] = kSampleOffset;
}

extern "C" void HOST_CALL mdlOutputs(SFcnRecord* record, int32_t /*taskId*/) {
  const double* input = ssGetInputPortRealSignal(record, 0);
  if (input == nullptr) return;  // the accessor has shown why; nothing to write

  // Both buffers are filled before either write; values pass unchanged, the
  // card's configured range is the driver's to enforce.
  ao0Value = input[0];
  ao1Value = input[1];
  writeSample(SFcnTaskAo0, &ao0Value);
  writeSample(SFcnTaskAo1, &ao1Value);
}

extern "C" void HOST_CALL mdlShutdown(SFcnRecord* /*record*/) {
  // Channel 0 is zeroed, stopped and cleared before channel 1 is touched.
  // The handles keep their values; only the held mark says they are gone.
  for (const Channel& c : kChannels) {
    *c.value = 0.0;
    writeSample(*c.task, c.value);
    releaseChannel(c);
  }
  tasksHeld = false;
}

// Methods the block does not have; the host learns why through the error slot.
extern "C" void HOST_CALL varHitStub(SFcnRecord* record) {
  postErrorMessage(record,
                   "To have a variable sample time, you must define MDL_GET_TIME_OF_NEXT_VAR_HIT "
                   "and add a mdlGetTimeOfNextVarHit routine");
}

extern "C" void HOST_CALL zeroCrossingsStub(SFcnRecord* record) {
  postErrorMessage(record,
                   "To have nonsampled zero crossings, you must define MDL_ZERO_CROSSINGS and "
                   "have a mdlZeroCrossings routine");
}
