#include "block/channel_io.h"

#include "block/device_constants.h"
#include "block/device_state.h"

namespace twinvolts {

void openChannel(TaskHandle* task, const char* taskName, const char* physicalChannel,
                 const char* assignedName) {
  DAQmxCreateTask(taskName, task);
  DAQmxCreateAOVoltageChan(*task, physicalChannel, assignedName, kMinVolts, kMaxVolts, kUnits,
                           nullptr);
  DAQmxStartTask(*task);
}

void writeChannel(TaskHandle task, const float64* value) {
  DAQmxWriteAnalogF64(task, kSamplesPerChannel, kAutoStart, kWriteTimeoutSeconds, kDataLayout,
                      value, &samplesWritten, nullptr);
}

void releaseChannel(TaskHandle task) {
  DAQmxStopTask(task);
  DAQmxClearTask(task);
}

}  // namespace twinvolts
