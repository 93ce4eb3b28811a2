#include "simcard/simcard.h"

extern "C" const char* simcardStatusText(int32 status) {
  switch (status) {
    case SIMCARD_OK:
      return "No error";
    case SIMCARD_WARN_SUCCEEDED_WITH_WARNING:
      return "The call worked, but the driver has a warning about it";
    case SIMCARD_ERR_DEVICE_NOT_PRESENT:
      return "Device Dev1 is not present: it is not connected, not powered or not installed";
    case SIMCARD_ERR_INVALID_TASK:
      return "The task handle is invalid: zero, never created or already cleared";
    case SIMCARD_ERR_RESOURCE_RESERVED:
      return "The physical channel is reserved by another running task";
    case SIMCARD_ERR_VALUE_OUT_OF_RANGE:
      return "The value is outside the channel's configured range or not finite; the output was "
             "left unchanged";
    case SIMCARD_ERR_TASK_NOT_RUNNING:
      return "The task has not been started and auto-start is off";
    case SIMCARD_ERR_TASK_RUNNING:
      return "The operation is not allowed while the task is running";
    case SIMCARD_ERR_NO_CHANNELS:
      return "The task has no channels";
    case SIMCARD_ERR_UNKNOWN_CHANNEL:
      return "The physical channel is not on this card: use Dev1/ao0 or Dev1/ao1";
    case SIMCARD_ERR_DUPLICATE_CHANNEL:
      return "The physical channel is already in this task";
    case SIMCARD_ERR_UNSUPPORTED_VALUE:
      return "The channel cannot take the range or units: the minimum must be below the maximum, "
             "both within -10 V to 10 V, and the units volts (10348)";
    case SIMCARD_ERR_CUSTOM_SCALE:
      return "The custom scale does not exist: pass a null scale name";
    case SIMCARD_ERR_SAMPLES_PER_CHANNEL:
      return "The number of samples to write is invalid: one sample per channel per write is "
             "supported";
    case SIMCARD_ERR_NULL_POINTER:
      return "A required pointer argument is null";
    case SIMCARD_ERR_INVALID_TIMEOUT:
      return "The time-out is invalid: -1 to wait forever, or a finite number of seconds";
    case SIMCARD_ERR_RESERVED_NOT_NULL:
      return "The reserved argument must be null";
    case SIMCARD_ERR_INVALID_ARGUMENT:
      return "The data layout is invalid: 0 by channel or 1 by scan";
    case SIMCARD_ERR_INJECTED_WRITE_FAILURE:
      return "The device did not accept the write (a fault injected for testing)";
    case SIMCARD_ERR_NOT_ARMED:
      return "This is the simulated card of the twinvolts rehearsal kit, not the real driver: "
             "it acts only for twinvolts-sim";
    default:
      return "Unknown status";
  }
}
