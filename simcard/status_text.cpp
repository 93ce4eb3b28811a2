#include "simcard/simcard.h"

extern "C" const char* simcardStatusText(int32 status) {
  switch (status) {
    case SIMCARD_OK:
      return "No error";
    case SIMCARD_ERR_DEVICE_NOT_PRESENT:
      return "Device Dev1 is not present";
    case SIMCARD_ERR_INVALID_TASK:
      return "Task handle is invalid: zero, never created or already cleared";
    case SIMCARD_ERR_RESOURCE_RESERVED:
      return "Physical channel is reserved by another running task";
    case SIMCARD_ERR_VALUE_OUT_OF_RANGE:
      return "Value is outside the channel's configured range; the output was left unchanged";
    case SIMCARD_ERR_TASK_NOT_RUNNING:
      return "Task is not running and auto-start is off";
    case SIMCARD_ERR_TASK_RUNNING:
      return "Operation is not allowed while the task is running";
    case SIMCARD_ERR_NO_CHANNELS:
      return "Task has no channels";
    case SIMCARD_ERR_UNKNOWN_CHANNEL:
      return "Physical channel is not on this card: use Dev1/ao0 or Dev1/ao1";
    case SIMCARD_ERR_DUPLICATE_CHANNEL:
      return "Physical channel is already in this task";
    case SIMCARD_ERR_INVALID_RANGE:
      return "Range is invalid: minimum must be below maximum, both within -10 V to 10 V";
    case SIMCARD_ERR_INVALID_UNITS:
      return "Units must be volts (10348)";
    case SIMCARD_ERR_CUSTOM_SCALE:
      return "Custom scales are not supported: pass a null scale name";
    case SIMCARD_ERR_SAMPLES_PER_CHANNEL:
      return "Only one sample per channel per write is supported";
    case SIMCARD_ERR_NULL_POINTER:
      return "A required pointer argument is null";
    case SIMCARD_ERR_INVALID_ARGUMENT:
      return "Time-out, data layout or reserved argument is invalid";
    case SIMCARD_ERR_INJECTED_WRITE_FAILURE:
      return "Write failed (injected fault)";
    case SIMCARD_ERR_NOT_ARMED:
      return "This is the simulated card of the twinvolts rehearsal kit, not the real driver: "
             "it acts only for twinvolts-sim";
    default:
      return "Unknown status";
  }
}
