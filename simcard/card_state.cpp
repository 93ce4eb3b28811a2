#include "simcard/card_state.h"

namespace simcard {

Card theCard;

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
