/* The block's module-wide device state: one copy per loaded module, shared
 * by every record the module serves, all zero at load. */
#ifndef TWINVOLTS_BLOCK_DEVICE_STATE_H
#define TWINVOLTS_BLOCK_DEVICE_STATE_H

#include <stdbool.h>

#include "host/daqmx.h"

#ifdef __cplusplus
extern "C" {
#endif

extern TaskHandle SFcnTaskAo0; /* owns "Dev1/ao0" */
extern TaskHandle SFcnTaskAo1; /* owns "Dev1/ao1" */
extern float64 ao0Value;       /* one-sample write buffers */
extern float64 ao1Value;
extern int32 samplesWritten; /* count target of every write; never read */
/* True from a set-up that created the tasks until the shutdown that releases
 * them, so a second set-up can release a pair nobody shut down. */
extern bool tasksHeld;

#ifdef __cplusplus
}
#endif

#endif
