// The driver's task functions: create, add a channel, start, stop, clear.
#include <cstring>

#include "simcard/call_log.h"
#include "simcard/card_state.h"
#include "simcard/simcard.h"

namespace simcard {
namespace {

constexpr const char* kPhysicalChannels[SIMCARD_CHANNEL_COUNT] = {"Dev1/ao0", "Dev1/ao1"};

int channelIndex(const char* physicalChannel) {
  for (int i = 0; i < SIMCARD_CHANNEL_COUNT; ++i) {
    if (std::strcmp(physicalChannel, kPhysicalChannels[i]) == 0) return i;
  }
  return -1;
}

bool taskHasChannel(const Task& task, int index) {
  for (int i = 0; i < task.channelCount; ++i) {
    if (task.channels[i].index == index) return true;
  }
  return false;
}

// Written so that NaN limits fail too.
bool isValidRange(double minVal, double maxVal) {
  return minVal < maxVal && minVal >= SIMCARD_MIN_VOLTS && maxVal <= SIMCARD_MAX_VOLTS;
}

int32 createTask(TaskHandle* taskHandle) {
  if (taskHandle == nullptr) return SIMCARD_ERR_NULL_POINTER;
  Card& c = card();
  c.tasks.push_back(Task{});
  ++c.openTasks;
  *taskHandle = static_cast<TaskHandle>(c.tasks.size());
  return SIMCARD_OK;
}

int32 addVoltageChannel(TaskHandle handle, const char* physicalChannel, float64 minVal,
                        float64 maxVal, int32 units, const char* customScaleName) {
  Task* task = findOpenTask(handle);
  if (task == nullptr) return SIMCARD_ERR_INVALID_TASK;
  if (task->state == TaskState::kRunning) return SIMCARD_ERR_TASK_RUNNING;
  if (!card().present) return SIMCARD_ERR_DEVICE_NOT_PRESENT;
  if (physicalChannel == nullptr) return SIMCARD_ERR_NULL_POINTER;
  int index = channelIndex(physicalChannel);
  if (index < 0) return SIMCARD_ERR_UNKNOWN_CHANNEL;
  if (taskHasChannel(*task, index)) return SIMCARD_ERR_DUPLICATE_CHANNEL;
  if (!isValidRange(minVal, maxVal)) return SIMCARD_ERR_UNSUPPORTED_VALUE;
  if (units != DAQmx_Val_Volts) return SIMCARD_ERR_UNSUPPORTED_VALUE;
  if (customScaleName != nullptr) return SIMCARD_ERR_CUSTOM_SCALE;
  task->channels[task->channelCount++] = OutputChannel{index, minVal, maxVal};
  return SIMCARD_OK;
}

int32 start(TaskHandle handle) {
  Task* task = findOpenTask(handle);
  if (task == nullptr) return SIMCARD_ERR_INVALID_TASK;
  if (task->state == TaskState::kRunning) return SIMCARD_ERR_TASK_RUNNING;
  return startTask(handle, *task);
}

int32 stop(TaskHandle handle) {
  Task* task = findOpenTask(handle);
  if (task == nullptr) return SIMCARD_ERR_INVALID_TASK;
  stopTask(handle, *task);
  return SIMCARD_OK;
}

int32 clear(TaskHandle handle) {
  Task* task = findOpenTask(handle);
  if (task == nullptr) return SIMCARD_ERR_INVALID_TASK;
  stopTask(handle, *task);
  task->state = TaskState::kCleared;
  --card().openTasks;
  return SIMCARD_OK;
}

int32 recordTaskCall(SimcardFunction function, TaskHandle handle, int32 status) {
  if (recording()) recordCall(blankCall(function, handle, status));
  return status;
}

}  // namespace
}  // namespace simcard

using namespace simcard;

extern "C" int32 DRIVER_CALL DAQmxCreateTask(const char taskName[], TaskHandle* taskHandle) {
  if (!card().armed) return SIMCARD_ERR_NOT_ARMED;
  int32 status = answer(createTask(taskHandle));
  if (recording()) {
    SimcardCall call = blankCall(SIMCARD_CREATE_TASK, status >= 0 ? *taskHandle : 0, status);
    copyName(call.taskName, taskName, &call.taskNameIsNull);
    recordCall(call);
  }
  return status;
}

extern "C" int32 DRIVER_CALL DAQmxCreateAOVoltageChan(TaskHandle task, const char physicalChannel[],
                                                      const char nameToAssignToChannel[],
                                                      float64 minVal, float64 maxVal, int32 units,
                                                      const char customScaleName[]) {
  if (!card().armed) return SIMCARD_ERR_NOT_ARMED;
  int32 status =
      answer(addVoltageChannel(task, physicalChannel, minVal, maxVal, units, customScaleName));
  if (recording()) {
    SimcardCall call = blankCall(SIMCARD_CREATE_AO_VOLTAGE_CHAN, task, status);
    copyName(call.physicalChannel, physicalChannel, &call.physicalChannelIsNull);
    copyName(call.assignedName, nameToAssignToChannel, &call.assignedNameIsNull);
    call.minVal = minVal;
    call.maxVal = maxVal;
    call.units = units;
    call.scaleNameIsNull = customScaleName == nullptr;
    recordCall(call);
  }
  return status;
}

extern "C" int32 DRIVER_CALL DAQmxStartTask(TaskHandle task) {
  if (!card().armed) return SIMCARD_ERR_NOT_ARMED;
  return recordTaskCall(SIMCARD_START_TASK, task, answer(start(task)));
}

extern "C" int32 DRIVER_CALL DAQmxStopTask(TaskHandle task) {
  if (!card().armed) return SIMCARD_ERR_NOT_ARMED;
  return recordTaskCall(SIMCARD_STOP_TASK, task, answer(stop(task)));
}

extern "C" int32 DRIVER_CALL DAQmxClearTask(TaskHandle task) {
  if (!card().armed) return SIMCARD_ERR_NOT_ARMED;
  return recordTaskCall(SIMCARD_CLEAR_TASK, task, answer(clear(task)));
}
