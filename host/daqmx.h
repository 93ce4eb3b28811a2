/* The card driver's functions that the block calls.
 * Declared here from the driver's documented behaviour; provided at load time
 * by the driver's library (nicaiu.dll on Windows, libnidaqmx.so on Linux). */
#pragma once

#include <stdint.h>

#include "host/calling_convention.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t int32;
typedef uint32_t uInt32;
typedef uint32_t bool32;
typedef uint32_t TaskHandle; /* a 32-bit word on every target */
typedef double float64;

/* Units code of a channel measured in volts. */
#define DAQmx_Val_Volts 10348

/* Every function returns a status: 0 success, negative an error, positive a warning. */
int32 DRIVER_CALL DAQmxCreateTask(const char taskName[], TaskHandle* taskHandle);
int32 DRIVER_CALL DAQmxCreateAOVoltageChan(TaskHandle task, const char physicalChannel[],
                                           const char nameToAssignToChannel[], float64 minVal,
                                           float64 maxVal, int32 units,
                                           const char customScaleName[]);
int32 DRIVER_CALL DAQmxStartTask(TaskHandle task);
int32 DRIVER_CALL DAQmxStopTask(TaskHandle task);
int32 DRIVER_CALL DAQmxClearTask(TaskHandle task);
int32 DRIVER_CALL DAQmxWriteAnalogF64(TaskHandle task, int32 numSampsPerChan, bool32 autoStart,
                                      float64 timeout, bool32 dataLayout,
                                      const float64 writeArray[], int32* sampsPerChanWritten,
                                      bool32* reserved);

#ifdef __cplusplus
}
#endif
