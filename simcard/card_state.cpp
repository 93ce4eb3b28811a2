#include "simcard/card_state.h"

namespace simcard {

Card& card() {
  static Card theCard;
  return theCard;
}

int32 answer(int32 status) {
  return status == SIMCARD_OK && card().warnOnSuccess ? SIMCARD_WARN_SUCCEEDED_WITH_WARNING
                                                      : status;
}

Task* findOpenTask(TaskHandle handle) {
  std::vector<Task>& tasks = card().tasks;
  if (handle == 0 || handle > tasks.size()) return nullptr;
  Task& task = tasks[handle - 1];
  return task.state == TaskState::kCleared ? nullptr : &task;
}

int32 startTask(TaskHandle handle, Task& task) {
  Card& c = card();
  if (!c.present) return SIMCARD_ERR_DEVICE_NOT_PRESENT;
  if (task.channelCount == 0) return SIMCARD_ERR_NO_CHANNELS;
  for (int i = 0; i < task.channelCount; ++i) {
    TaskHandle holder = c.reservedBy[task.channels[i].index];
    if (holder != 0 && holder != handle) return SIMCARD_ERR_RESOURCE_RESERVED;
  }
  for (int i = 0; i < task.channelCount; ++i) c.reservedBy[task.channels[i].index] = handle;
  task.state = TaskState::kRunning;
  return SIMCARD_OK;
}

void stopTask(TaskHandle handle, Task& task) {
  if (task.state != TaskState::kRunning) return;
  Card& c = card();
  for (int i = 0; i < task.channelCount; ++i) {
    TaskHandle& holder = c.reservedBy[task.channels[i].index];
    if (holder == handle) holder = 0;
  }
  task.state = TaskState::kIdle;
}

}  // namespace simcard
