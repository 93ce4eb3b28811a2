/* The simulated card "Dev1", seen from the test and simulation side.
 * The module reaches it only through the driver functions of host/daqmx.h,
 * which this library provides.
 *
 * The card has two analog outputs, "Dev1/ao0" and "Dev1/ao1", each able to
 * drive -10 V to 10 V. A task goes created -> channel added -> started ->
 * stopped -> cleared. Task handles count 1, 2, 3 ... from the last reset and
 * are never handed out again before the next reset; zero, a handle never
 * handed out and a cleared handle are invalid and every call on them fails.
 * A started task reserves its channels until it is stopped or cleared.
 * Writes take one sample per channel; each output holds the last value
 * written to it, also after its task is stopped or cleared.
 *
 * The card acts only for the programs that control it: until simcardReset
 * is first called, every driver function fails with SIMCARD_ERR_NOT_ARMED
 * and changes nothing, so a host that loads this library in place of the
 * real driver is told at once what it has reached.
 *
 * Everything runs on the caller's thread; the library takes no locks. */
#pragma once

#include <stdbool.h>
#include <stddef.h>

#include "host/daqmx.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SIMCARD_CHANNEL_COUNT 2 /* "Dev1/ao0", "Dev1/ao1" */
#define SIMCARD_MIN_VOLTS (-10.0)
#define SIMCARD_MAX_VOLTS 10.0

/* Statuses the driver functions return: 0 success, a negative number a
 * refusal (the call changed nothing), a positive number a warning about a
 * call that worked. Refusals carry the numbers of the driver's error table,
 * so that a status reads the same against the card and the driver. */
typedef enum SimcardStatus {
  SIMCARD_OK = 0,
  SIMCARD_WARN_SUCCEEDED_WITH_WARNING = 200015,
  SIMCARD_ERR_DEVICE_NOT_PRESENT = -200220,
  SIMCARD_ERR_INVALID_TASK = -200088,
  SIMCARD_ERR_RESOURCE_RESERVED = -50103,
  SIMCARD_ERR_VALUE_OUT_OF_RANGE = -200561,
  SIMCARD_ERR_TASK_NOT_RUNNING = -200846,
  SIMCARD_ERR_TASK_RUNNING = -200479,
  SIMCARD_ERR_NO_CHANNELS = -200478,
  SIMCARD_ERR_UNKNOWN_CHANNEL = -200170,
  SIMCARD_ERR_DUPLICATE_CHANNEL = -200489,
  SIMCARD_ERR_UNSUPPORTED_VALUE = -200077, /* a range or units the channel cannot take */
  SIMCARD_ERR_CUSTOM_SCALE = -200378,
  SIMCARD_ERR_SAMPLES_PER_CHANNEL = -200622,
  SIMCARD_ERR_NULL_POINTER = -200604,
  SIMCARD_ERR_INVALID_TIMEOUT = -200453,
  SIMCARD_ERR_RESERVED_NOT_NULL = -200492,
  SIMCARD_ERR_INVALID_ARGUMENT = -200609, /* the data layout: the card's own choice */
  SIMCARD_ERR_INJECTED_WRITE_FAILURE = -201003,
  SIMCARD_ERR_NOT_ARMED = -9999 /* a number of its own: see above */
} SimcardStatus;

/* Arms the card (see above). Card present, no tasks, handles from 1 again,
 * both outputs at 0 V, logs empty, no fault, recording, warnings and no-op
 * writes off. */
void simcardReset(void);

/* Fault injection. Without a card, channel creation, starting and writing
 * fail with SIMCARD_ERR_DEVICE_NOT_PRESENT; creating, stopping and clearing
 * tasks still work, as with a real driver. */
void simcardSetPresent(bool present);
/* The n-th write call since reset (1-based, any task, counting failed calls)
 * fails with SIMCARD_ERR_INJECTED_WRITE_FAILURE and changes nothing; 0 or a
 * negative n means none. */
void simcardFailWriteAt(long long n);
/* When on, every driver call that succeeds returns
 * SIMCARD_WARN_SUCCEEDED_WITH_WARNING instead of SIMCARD_OK, as a driver
 * does when it has something to say about a call that worked. */
void simcardSetWarnOnSuccess(bool on);

/* Last voltage that reached output channel 0 or 1 (NaN for another number). */
double simcardOutputVolts(int channel);
/* The same for both channels in place, channel 0 first: one address for the
 * library's life, so a run reads them after every step without a call. */
const double* simcardOutputs(void);
/* Tasks created and not yet cleared. */
int simcardOpenTaskCount(void);
/* The running task that holds output channel 0 or 1, or 0 when none does. */
TaskHandle simcardChannelReservedBy(int channel);
/* Short text for a status the driver functions returned. */
const char* simcardStatusText(int32 status);

/* Every write, in order, one entry per channel of the task (one entry with
 * channel -1 when the task is invalid or has no channel): which output it was
 * meant for, what and how it went. volts is NaN when the data array was null.
 * The trace keeps the first SIMCARD_WRITE_TRACE_CAPACITY entries since reset;
 * simcardWritesDropped counts the ones past that. */
#define SIMCARD_WRITE_TRACE_CAPACITY 65536
typedef struct SimcardWrite {
  TaskHandle task;
  int channel; /* 0 or 1, or -1 when the task has no channel */
  double volts;
  int32 status;
} SimcardWrite;
size_t simcardWriteCount(void);
/* An index past the end gives {0, -1, NaN, SIMCARD_OK}. */
SimcardWrite simcardWriteAt(size_t index);
/* The whole trace in place: its simcardWriteCount() entries, that count also
 * stored in *count when count is not null. Valid until the next driver call,
 * clear or reset; for a reader of every step, cheaper than entry by entry. */
const SimcardWrite* simcardWrites(size_t* count);
size_t simcardWritesDropped(void);
/* Empties the trace (and its dropped count) and leaves the card as it is, so
 * a long run can read each step's writes without reaching the capacity. */
void simcardClearWriteTrace(void);

/* Recording mode: every driver call with its arguments, for exact-call tests.
 * Keeps the first SIMCARD_CALL_LOG_CAPACITY calls since reset; no-op writes
 * are not recorded. */
#define SIMCARD_CALL_LOG_CAPACITY 16384
typedef enum SimcardFunction {
  SIMCARD_CREATE_TASK,
  SIMCARD_CREATE_AO_VOLTAGE_CHAN,
  SIMCARD_START_TASK,
  SIMCARD_STOP_TASK,
  SIMCARD_CLEAR_TASK,
  SIMCARD_WRITE_ANALOG_F64,
  SIMCARD_NO_CALL /* what simcardCallAt gives past the end */
} SimcardFunction;

typedef struct SimcardCall {
  SimcardFunction function;
  TaskHandle task; /* argument; for CreateTask the handle it stored (0 on failure) */
  int32 status;
  /* CreateTask: taskName. CreateAOVoltageChan: physicalChannel, assignedName,
   * minVal, maxVal, units, scaleNameIsNull. Names longer than 31 characters
   * are cut; a null name is recorded as "" with its IsNull flag set. */
  char taskName[32];
  bool taskNameIsNull;
  char physicalChannel[32];
  bool physicalChannelIsNull;
  char assignedName[32];
  bool assignedNameIsNull;
  double minVal, maxVal;
  int32 units;
  bool scaleNameIsNull;
  /* WriteAnalogF64; firstValue is writeArray[0], NaN when writeArray is null. */
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
size_t simcardCallsDropped(void);

/* Benchmarks: writes succeed at once (reporting one sample written) and
 * touch no state: no output, trace, recording or write count changes. */
void simcardSetWritesNoop(bool on);

#ifdef __cplusplus
}
#endif
