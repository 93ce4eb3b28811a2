// The driver's on-demand write: one sample per channel of a task. Touches only
// fixed tables and the pre-sized trace, so a step of the simulation allocates
// nothing here.
#include <cmath>
#include <limits>

#include "simcard/call_log.h"
#include "simcard/card_state.h"
#include "simcard/simcard.h"
#include "simcard/write_trace.h"

namespace simcard {
namespace {

// Time-out -1 waits forever; anything else must be a finite number of seconds
// (NaN fails both comparisons).
bool isValidTimeout(float64 timeout) {
  return (timeout >= 0.0 && timeout <= std::numeric_limits<float64>::max()) || timeout == -1.0;
}

bool isWithin(const OutputChannel& channel, double volts) {
  return volts >= channel.minVolts && volts <= channel.maxVolts;
}

int32 checkArguments(int32 numSampsPerChan, float64 timeout, bool32 dataLayout,
                     const float64* writeArray, const bool32* reserved) {
  if (numSampsPerChan != 1) return SIMCARD_ERR_SAMPLES_PER_CHANNEL;
  if (writeArray == nullptr) return SIMCARD_ERR_NULL_POINTER;
  if (!isValidTimeout(timeout)) return SIMCARD_ERR_INVALID_TIMEOUT;
  // Layout 0 groups by channel and 1 by scan; with one sample both read alike.
  if (dataLayout > 1) return SIMCARD_ERR_INVALID_ARGUMENT;
  if (reserved != nullptr) return SIMCARD_ERR_RESERVED_NOT_NULL;
  return SIMCARD_OK;
}

int32 write(TaskHandle handle, Task* task, int32 numSampsPerChan, bool32 autoStart, float64 timeout,
            bool32 dataLayout, const float64* writeArray, const bool32* reserved) {
  Card& c = card();
  bool injected = ++c.writesSeen == c.failWriteAt;
  if (task == nullptr) return SIMCARD_ERR_INVALID_TASK;
  int32 status = checkArguments(numSampsPerChan, timeout, dataLayout, writeArray, reserved);
  if (status != SIMCARD_OK) return status;
  if (!c.present) return SIMCARD_ERR_DEVICE_NOT_PRESENT;
  if (task->channelCount == 0) return SIMCARD_ERR_NO_CHANNELS;
  bool running = task->state == TaskState::kRunning;
  if (!running && !autoStart) return SIMCARD_ERR_TASK_NOT_RUNNING;
  if (injected) return SIMCARD_ERR_INJECTED_WRITE_FAILURE;
  for (int i = 0; i < task->channelCount; ++i) {
    if (!isWithin(task->channels[i], writeArray[i])) return SIMCARD_ERR_VALUE_OUT_OF_RANGE;
  }
  if (!running) {
    status = startTask(handle, *task);
    if (status != SIMCARD_OK) return status;
  }
  for (int i = 0; i < task->channelCount; ++i) {
    c.outputVolts[task->channels[i].index] = writeArray[i];
  }
  return SIMCARD_OK;
}

void traceChannels(TaskHandle handle, const Task* task, const float64* writeArray, int32 status) {
  int channelCount = task == nullptr ? 0 : task->channelCount;
  if (channelCount == 0) {
    traceWrite(handle, -1, writeArray == nullptr ? std::nan("") : writeArray[0], status);
  }
  for (int i = 0; i < channelCount; ++i) {
    traceWrite(handle, task->channels[i].index,
               writeArray == nullptr ? std::nan("") : writeArray[i], status);
  }
}

// Out of line: its call entry would otherwise weigh on every write's frame.
[[gnu::noinline]] void recordWrite(TaskHandle handle, int32 numSampsPerChan, bool32 autoStart,
                                   float64 timeout, bool32 dataLayout, const float64* writeArray,
                                   int32* sampsPerChanWritten, bool32* reserved, int32 status) {
  SimcardCall call = blankCall(SIMCARD_WRITE_ANALOG_F64, handle, status);
  call.numSampsPerChan = numSampsPerChan;
  call.autoStart = autoStart;
  call.timeout = timeout;
  call.dataLayout = dataLayout;
  call.writeArray = writeArray;
  if (writeArray != nullptr) call.firstValue = writeArray[0];
  call.sampsPerChanWritten = sampsPerChanWritten;
  call.reserved = reserved;
  recordCall(call);
}

// Every check in order, then the trace and the recording.
[[gnu::noinline]] int32 writeChecked(TaskHandle handle, int32 numSampsPerChan, bool32 autoStart,
                                     float64 timeout, bool32 dataLayout, const float64* writeArray,
                                     int32* sampsPerChanWritten, bool32* reserved) {
  Task* task = findOpenTask(handle);
  int32 status = answer(
      write(handle, task, numSampsPerChan, autoStart, timeout, dataLayout, writeArray, reserved));
  if (sampsPerChanWritten != nullptr) *sampsPerChanWritten = status >= 0 ? 1 : 0;
  traceChannels(handle, task, writeArray, status);
  if (recording()) {
    recordWrite(handle, numSampsPerChan, autoStart, timeout, dataLayout, writeArray,
                sampsPerChanWritten, reserved, status);
  }
  return status;
}

// The write of every step of a run: a running task of one channel, good
// arguments, a value in range, no fault due, no warning asked for, nothing
// recorded. The checked path would accept it; this one reaches the same
// outcome with fewer tests.
bool isPlainWrite(const Task* task, int32 numSampsPerChan, float64 timeout, bool32 dataLayout,
                  const float64* writeArray, const bool32* reserved) {
  const Card& c = theCard;
  return task != nullptr && task->state == TaskState::kRunning && task->channelCount == 1 &&
         numSampsPerChan == 1 && writeArray != nullptr && reserved == nullptr && dataLayout <= 1 &&
         isValidTimeout(timeout) && c.present && !c.warnOnSuccess &&
         c.writesSeen + 1 != c.failWriteAt && !recording() &&
         isWithin(task->channels[0], writeArray[0]);
}

}  // namespace
}  // namespace simcard

extern "C" int32 DRIVER_CALL DAQmxWriteAnalogF64(TaskHandle task, int32 numSampsPerChan,
                                                 bool32 autoStart, float64 timeout,
                                                 bool32 dataLayout, const float64 writeArray[],
                                                 int32* sampsPerChanWritten, bool32* reserved) {
  simcard::Card& c = simcard::card();
  if (!c.armed) return SIMCARD_ERR_NOT_ARMED;
  if (c.writesNoop) {
    if (sampsPerChanWritten != nullptr) *sampsPerChanWritten = 1;
    return SIMCARD_OK;
  }
  const simcard::Task* openTask = simcard::findOpenTask(task);
  if (!simcard::isPlainWrite(openTask, numSampsPerChan, timeout, dataLayout, writeArray,
                             reserved)) {
    return simcard::writeChecked(task, numSampsPerChan, autoStart, timeout, dataLayout, writeArray,
                                 sampsPerChanWritten, reserved);
  }
  ++c.writesSeen;
  const int channel = openTask->channels[0].index;
  c.outputVolts[channel] = writeArray[0];
  if (sampsPerChanWritten != nullptr) *sampsPerChanWritten = 1;
  simcard::traceWrite(task, channel, writeArray[0], SIMCARD_OK);
  return SIMCARD_OK;
}
