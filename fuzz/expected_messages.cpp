#include "fuzz/expected_messages.h"

#include <cstdio>
#include <cstring>

namespace fuzz {
namespace {

#define DISPLAY_NAME "MEX level2 S-function \"twinvolts\""

constexpr const char* kSetupMessages[] = {
    DISPLAY_NAME " must be called with at least 4 right hand arguments",
    DISPLAY_NAME " called with too many left hand arguments",
    "The 4th right hand argument, FLAG, passed to " DISPLAY_NAME " must be an integer",
    "Invalid flag passed to " DISPLAY_NAME,
    "The 2nd right hand argument passed to " DISPLAY_NAME " holds a null S-function record address",
};

constexpr const char* kErrorSlotMessages[] = {
    "Invalid flag encountered in simulink",
    "To have a variable sample time, you must define MDL_GET_TIME_OF_NEXT_VAR_HIT and add a "
    "mdlGetTimeOfNextVarHit routine",
    "To have nonsampled zero crossings, you must define MDL_ZERO_CROSSINGS and have a "
    "mdlZeroCrossings routine",
    "Unexpected call to mdlSetWorkWidths",
    "Unexpected call to mdlCheckParameters",
    "Unexpected call to mdlSetInputPortDataType",
    "Unexpected call to mdlSetOutputPortDataType",
    "Unexpected call to mdlSetInputPortWidth",
    "Unexpected call to mdlSetOutputPortWidth",
    "Unexpected call to mdlSetInputPortComplexSignal",
    "Unexpected call to mdlSetOutputPortComplexSignal",
    "Unexpected call to mdlSetInputPortSampleTime",
    "Unexpected call to mdlSetOutputPortSampleTime",
    "Unexpected call to mdlSetInputPortDimensionInfo",
    "Unexpected call to mdlSetOutputPortDimensionInfo",
    "Unexpected call to mdlSetInputPortFrameData",
    "Unexpected call to mdlSetDefaultPortDimensionInfo",
    "Unexpected call to mdlSetDefaultPortDataTypes",
    "Unexpected call to mdlSetDefaultPortComplexSignals",
    "Unexpected call to mdlInitializePropagationPass",
};

// The name-mismatch message as the gateway bounds it: cut to its 256-byte buffer.
std::string nameMismatch(const char* recordName) {
  char text[256];
  std::snprintf(text, sizeof text,
                "S-function name mismatch. Name in source is \"#define S_FUNCTION_NAME %s\", "
                "whereas name of the S-function MEX file is \"%s\". The source needs to be updated",
                "twinvolts", recordName != nullptr ? recordName : "");
  return text;
}

}  // namespace

const char* tooFewRightHandMessage() {
  return kSetupMessages[0];
}
const char* tooManyLeftHandMessage() {
  return kSetupMessages[1];
}

bool isSetupMessage(const std::string& text, const char* const* recordNames, int recordCount) {
  for (const char* message : kSetupMessages) {
    if (text == message) return true;
  }
  for (int i = 0; i < recordCount; ++i) {
    if (text == nameMismatch(recordNames[i])) return true;
  }
  return false;
}

bool isErrorSlotMessage(const char* text) {
  for (const char* message : kErrorSlotMessages) {
    if (std::strcmp(text, message) == 0) return true;
  }
  return false;
}

bool isPortDialogMessage(const std::string& text) {
  const bool fromAccessor = text.rfind("S-function '", 0) == 0;
  const bool aboutPorts =
      text.find("is attempting to access the signal from input port '") != std::string::npos ||
      text.find("is setting or clearing the direct feedthrough flag") != std::string::npos;
  return fromAccessor && aboutPorts;
}

}  // namespace fuzz
