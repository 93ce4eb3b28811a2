// Plain zero-initialised globals: loading the module runs no code.
#include "block/device_state.h"

extern "C" {

TaskHandle SFcnTaskAo0;
TaskHandle SFcnTaskAo1;
float64 ao0Value;
float64 ao1Value;
int32 samplesWritten;
bool tasksHeld;
}
