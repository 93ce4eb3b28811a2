// The card's state behind the driver functions: outputs, reservations and
// the task table. Internal to the library.
#pragma once

#include <vector>

#include "simcard/simcard.h"

namespace simcard {

enum class TaskState { kIdle, kRunning, kCleared };

struct OutputChannel {
  int index;  // 0 for "Dev1/ao0", 1 for "Dev1/ao1"
  double minVolts;
  double maxVolts;
};

struct Task {
  TaskState state = TaskState::kIdle;
  int channelCount = 0;
  OutputChannel channels[SIMCARD_CHANNEL_COUNT] = {};
};

struct Card {
  // Set by the first reset: a program that never calls it reached this
  // library in place of the real driver.
  bool armed = false;
  bool present = true;
  bool writesNoop = false;
  bool warnOnSuccess = false;
  long long failWriteAt = 0;
  long long writesSeen = 0;
  int openTasks = 0;
  double outputVolts[SIMCARD_CHANNEL_COUNT] = {};
  TaskHandle reservedBy[SIMCARD_CHANNEL_COUNT] = {};
  std::vector<Task> tasks;  // the task of handle h is tasks[h - 1]
};

// The one card. A plain object rather than a function's static, so the
// per-step write reaches it without a guard or a call.
extern Card theCard;
inline Card& card() {
  return theCard;
}

// What a driver function returns for status: a success becomes the warning
// status when the card is set to warn.
inline int32 answer(int32 status) {
  return status == SIMCARD_OK && theCard.warnOnSuccess ? SIMCARD_WARN_SUCCEEDED_WITH_WARNING
                                                       : status;
}

// The task of an open handle, or null for zero, unknown and cleared handles.
inline Task* findOpenTask(TaskHandle handle) {
  std::vector<Task>& tasks = theCard.tasks;
  if (handle == 0 || handle > tasks.size()) return nullptr;
  Task& task = tasks[handle - 1];
  return task.state == TaskState::kCleared ? nullptr : &task;
}

// Reserves the task's channels and marks it running; fails, changing nothing,
// when the card is absent, the task has no channel or a channel is held.
int32 startTask(TaskHandle handle, Task& task);
// Releases the task's reservations; a task that is not running stays as it is.
void stopTask(TaskHandle handle, Task& task);

}  // namespace simcard
