// The twinvolts block, top to bottom: its module-wide state and fixed
// configuration, the two channels, how a refusal of the driver is reported,
// then the methods in the order a run calls them: set-up, sample times,
// outputs, shutdown, and the two methods the block does not have.
//
// Every driver status is examined. A failure (a negative status) becomes a
// warning addressed to the block, at most one per channel and kind of
// operation between two complete set-ups, and the method goes on with its
// next call as before: a run without a card still runs to its end. A positive
// status is the driver's own warning about a call that worked; it is left
// alone.
#include "block/twinvolts_block.h"

#include <cmath>
#include <cstdlib>

#include "block/pair_owner.h"
#include "gateway/gateway.h"
#include "gateway/sfcn_names.h"
#include "host/mex_api.h"
#include "services/services.h"

// Plain zero-initialised globals: loading the module runs no code.
extern "C" {
TaskHandle SFcnTaskAo0;
TaskHandle SFcnTaskAo1;
float64 ao0Value;
float64 ao1Value;
int32 samplesWritten;
bool tasksHeld;
bool exitFunctionRegistered;
}

namespace twinvolts {

RunReport runReport;
PairOwner pairOwner;  // here with the rest, so that a step reads it directly

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
constexpr int kChannelCount = 2;

// ---- Reporting what the driver refused. Nothing here runs on a step whose
// writes succeed: the methods call it only after a negative status.

// Releasing an earlier pair is a kind of its own, so that its refusal does
// not hide a refused opening of the new pair.
enum Kind : unsigned { kSetUp = 1, kWrite = 2, kShutdown = 4, kRelease = 8, kUnload = 16 };

constexpr char kNotDriven[] = "the output will not follow the input until the next set-up";
constexpr char kMayStayReserved[] = "the channel may stay reserved";

// Room for the longest text below with every number at its widest.
constexpr size_t kMessageSize = 192;

bool firstOfItsKind(int channel, Kind kind) {
  unsigned& warned = runReport.channels[channel].warnedKinds;
  if ((warned & kind) != 0) return false;
  warned |= kind;
  return true;
}

// The shortest decimal form that reads back as the same double, so that the
// warning names exactly the value that was written.
void formatVolts(char* text, size_t size, double value) {
  if (std::isnan(value)) {
    formatInto(text, size, "NaN");
  } else if (std::isinf(value)) {
    formatInto(text, size, "%s", value < 0 ? "-Inf" : "Inf");
  } else {
    for (int digits = 1; digits <= 17; ++digits) {
      formatInto(text, size, "%.*g V", digits, value);
      if (std::strtod(text, nullptr) == value) return;
    }
  }
}

[[gnu::cold, gnu::noinline]] void reportFailure(SFcnRecord* record, int channel, Kind kind,
                                                int32 status, const char* operation,
                                                const char* consequence) {
  if (!firstOfItsKind(channel, kind)) return;
  char message[kMessageSize];
  formatInto(message, sizeof message, "%s: the driver refused to %s (status %ld); %s",
             kChannels[channel].physicalName, operation, static_cast<long>(status), consequence);
  ssWarnWithBlockPath(record, message);
}

// A refused write of a step, or the zeroing write of shutdown.
[[gnu::cold, gnu::noinline]] void reportRefusedWrite(SFcnRecord* record, int channel, Kind kind,
                                                     int32 status) {
  ChannelReport& report = runReport.channels[channel];
  if (kind == kWrite && report.refusedWrites++ == 0) {
    report.firstRefusedStep = runReport.steps;
    report.firstRefusedStatus = status;
  }
  if (!firstOfItsKind(channel, kind)) return;
  char volts[32];
  formatVolts(volts, sizeof volts, *kChannels[channel].value);
  char when[24];
  if (kind == kWrite) {
    formatInto(when, sizeof when, "at step %lu", static_cast<unsigned long>(runReport.steps));
  } else {
    formatInto(when, sizeof when, "at shutdown");
  }
  char message[kMessageSize];
  formatInto(message, sizeof message, "%s: the driver refused the write of %s %s (status %ld); %s",
             kChannels[channel].physicalName, volts, when, static_cast<long>(status),
             kind == kWrite ? "the output keeps its previous level"
                            : "the output may still hold its last level");
  ssWarnWithBlockPath(record, message);
}

// At shutdown, for a channel that had writes refused: how many of the run's.
void reportRefusedWriteCount(SFcnRecord* record, int channel) {
  const ChannelReport& report = runReport.channels[channel];
  if (report.refusedWrites == 0) return;
  char message[kMessageSize];
  formatInto(message, sizeof message,
             "%s: %lu of %lu writes were refused; the first at step %lu (status %ld)",
             kChannels[channel].physicalName, static_cast<unsigned long>(report.refusedWrites),
             static_cast<unsigned long>(runReport.steps),
             static_cast<unsigned long>(report.firstRefusedStep),
             static_cast<long>(report.firstRefusedStatus));
  ssWarnWithBlockPath(record, message);
}

// ---- The driver calls of a channel, each status examined.

void check(SFcnRecord* record, int channel, Kind kind, int32 status, const char* operation,
           const char* consequence) {
  if (status < 0) reportFailure(record, channel, kind, status, operation, consequence);
}

void openChannel(SFcnRecord* record, int channel) {
  const Channel& c = kChannels[channel];
  check(record, channel, kSetUp, DAQmxCreateTask(kUnnamed, c.task), "create the task", kNotDriven);
  check(record, channel, kSetUp,
        DAQmxCreateAOVoltageChan(*c.task, c.physicalName, kUnnamed, kMinVolts, kMaxVolts,
                                 DAQmx_Val_Volts, nullptr),
        "add the voltage channel to the task", kNotDriven);
  check(record, channel, kSetUp, DAQmxStartTask(*c.task), "start the task", kNotDriven);
}

// Inlined, so a step makes the driver's call itself.
inline int32 writeSample(TaskHandle task, const float64* value) {
  return DAQmxWriteAnalogF64(task, kSamplesPerChannel, kAutoStart, kWriteTimeoutSeconds,
                             kDataLayout, value, &samplesWritten, nullptr);
}

// Stops and clears a pair still held, without a write: the outputs keep
// their last level.
void releasePair(SFcnRecord* record, Kind kind, const char* stop, const char* clear) {
  if (!tasksHeld) return;
  for (int channel = 0; channel < kChannelCount; ++channel) {
    const TaskHandle task = *kChannels[channel].task;
    check(record, channel, kind, DAQmxStopTask(task), stop, kMayStayReserved);
    check(record, channel, kind, DAQmxClearTask(task), clear, kMayStayReserved);
  }
  tasksHeld = false;
}

// A pair that an earlier set-up started and no shutdown released still
// reserves both channels, so new tasks on them could not start: release it
// first. Unlike shutdown it writes no 0 V: the new pair takes the outputs
// over from their last level.
void releaseHeldPair(SFcnRecord* record) {
  releasePair(record, kRelease, "stop the earlier task", "clear the earlier task");
}

// The host's exit function: a pair still held when the host unloads the
// module is released as a set-up releases an earlier one, so the channels do
// not stay reserved until the host process ends. No record outlives the
// calls; the warnings name the block by the module's name.
void HOST_CALL releaseAtUnload() {
  exitFunctionRegistered = false;
  SFcnRecord unloading{};
  unloading.blockPath = S_FUNCTION_NAME;
  releasePair(&unloading, kUnload, "stop the task at unload", "clear the task at unload");
}

// Once per module load, at the first set-up that opens a pair: the host
// keeps the function until it unloads the module.
void registerReleaseAtUnload() {
  if (exitFunctionRegistered) return;
  mexAtExit(releaseAtUnload);
  exitFunctionRegistered = true;
}

// Leaves the output at 0 V before the task lets go of it.
void zeroAndRelease(SFcnRecord* record, int channel) {
  const Channel& c = kChannels[channel];
  *c.value = 0.0;
  const int32 status = writeSample(*c.task, c.value);
  if (status < 0) reportRefusedWrite(record, channel, kShutdown, status);
  check(record, channel, kShutdown, DAQmxStopTask(*c.task), "stop the task at shutdown",
        kMayStayReserved);
  check(record, channel, kShutdown, DAQmxClearTask(*c.task), "clear the task at shutdown",
        kMayStayReserved);
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
  // Each complete set-up begins a simulation: its failures are news again.
  runReport = RunReport{};
  registerReleaseAtUnload();
  releaseHeldPair(record);
  for (int channel = 0; channel < kChannelCount; ++channel) openChannel(record, channel);
  tasksHeld = true;
  takeOverPair(record);
}

extern "C" void HOST_CALL mdlDeclareSampleTimes(SFcnRecord* record) {
  record->samplePeriods[0] = kSamplePeriod;
  record->sampleOffsets[0] = kSampleOffset;
}

extern "C" void HOST_CALL mdlOutputs(SFcnRecord* record, int32_t /*taskId*/) {
  if (record != pairOwner.record && writesNothing(record)) return;
  // The guarded accessor's checks, made inline (ssGetInputPortRealSignal).
  const auto* input = static_cast<const double*>(inputSignal(record, 0));
  if (input == nullptr) return;  // the accessor has shown why; nothing to write

  // Both buffers are filled before either write; values pass unchanged, the
  // card's configured range is the driver's to enforce.
  ao0Value = input[0];
  ao1Value = input[1];
  ++runReport.steps;
  const int32 status0 = writeSample(SFcnTaskAo0, &ao0Value);
  if (status0 < 0) reportRefusedWrite(record, 0, kWrite, status0);
  const int32 status1 = writeSample(SFcnTaskAo1, &ao1Value);
  if (status1 < 0) reportRefusedWrite(record, 1, kWrite, status1);
}

extern "C" void HOST_CALL mdlShutdown(SFcnRecord* record) {
  // The pair, its outputs and its run's counts are the owner's to end.
  if (record != pairOwner.record && ownedByAnother()) return;
  // Channel 0 is zeroed, stopped and cleared before channel 1 is touched.
  // The handles keep their values; only the held mark says they are gone.
  for (int channel = 0; channel < kChannelCount; ++channel) {
    reportRefusedWriteCount(record, channel);
    zeroAndRelease(record, channel);
  }
  tasksHeld = false;
  // Summed up once: a further shutdown has no run of its own to sum up.
  runReport.steps = 0;
  for (ChannelReport& report : runReport.channels) report.refusedWrites = 0;
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
