/* The simulated card "Dev1", seen from the test and simulation side.
 * The module reaches it only through the driver functions of host/daqmx.h,
 * which this library provides. */
#ifndef TWINVOLTS_SIMCARD_SIMCARD_H
#define TWINVOLTS_SIMCARD_SIMCARD_H

#include <stdbool.h>
#include <stddef.h>

#include "host/daqmx.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SIMCARD_CHANNEL_COUNT 2 /* "Dev1/ao0", "Dev1/ao1" */

/* Card present, no tasks, both outputs at 0 V, logs empty, no fault, recording off. */
void simcardReset(void);

/* Fault injection. Without a card every channel creation fails. */
void simcardSetPresent(bool present);
/* The n-th write since reset (1-based, any task) fails; 0 means none. */
void simcardFailWriteAt(long n);

/* Last voltage that reached output channel 0 or 1. */
double simcardOutputVolts(int channel);
/* Tasks created and not yet cleared. */
int simcardOpenTaskCount(void);
/* Short text for a status the driver functions returned. */
const char* simcardStatusText(int32 status);

/* Every write, in order: which output it was meant for, what and how it went. */
typedef struct SimcardWrite {
  TaskHandle task;
  int channel; /* 0 or 1, or -1 when the task has no channel */
  double volts;
  int32 status;
} SimcardWrite;
size_t simcardWriteCount(void);
SimcardWrite simcardWriteAt(size_t index);

/* Recording mode: every driver call with its arguments, for exact-call tests. */
typedef enum SimcardFunction {
  SIMCARD_CREATE_TASK,
  SIMCARD_CREATE_AO_VOLTAGE_CHAN,
  SIMCARD_START_TASK,
  SIMCARD_STOP_TASK,
  SIMCARD_CLEAR_TASK,
  SIMCARD_WRITE_ANALOG_F64
} SimcardFunction;

typedef struct SimcardCall {
  SimcardFunction function;
  TaskHandle task; /* argument; for CreateTask the handle it stored */
  int32 status;
  /* CreateTask: taskName. CreateAOVoltageChan: physicalChannel, assignedName,
   * minVal, maxVal, units, scaleNameIsNull. */
  char taskName[32];
  bool taskNameIsNull;
  char physicalChannel[32];
  char assignedName[32];
  bool assignedNameIsNull;
  double minVal, maxVal;
  int32 units;
  bool scaleNameIsNull;
  /* WriteAnalogF64 */
  int32 numSampsPerChan;
  bool32 autoStart;
  double timeout;
  bool32 dataLayout;
  const float64* writeArray;
  double firstValue;
  int32* sampsPerChanWritten;
  bool32* reserved;
} SimcardCall;

void simcardSetRecording(bool on);
size_t simcardCallCount(void);
SimcardCall simcardCallAt(size_t index);

/* Benchmarks: writes succeed at once and touch no state. */
void simcardSetWritesNoop(bool on);

#ifdef __cplusplus
}
#endif

#endif
